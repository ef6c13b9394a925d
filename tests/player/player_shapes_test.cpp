// Vector shapes: fills by both winding rules and both edge sides, curves, lines,
// gradients, colour transforms, and shapes that are broken in every way.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuBitStream.h"
#include "tests/player/PlayerTestUtil.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

// The pixels (x, y) that show one colour.
struct Samples {
  Rgba color;
  std::vector<std::pair<int, int>> pixels;
};

struct ShapeCase {
  const char* name;
  std::function<ShapeWriter()> shape;
  std::vector<Samples> samples;
};

// A 100 x 100 white stage showing the shape (id 1) at depth 1.
TestMovie OneShapeMovie(const ShapeWriter& shape) {
  TestMovie movie(100, 100);
  movie.Add(shape.Tag(1)).Place(1, 1).Frame();
  return movie;
}

std::vector<ShapeCase> ShapeCases() {
  return {
      {"rectangle_on_whole_pixels",
       [] { return ShapeWriter(1).Solid(kRed).Styles(0, 1, 0).Rect(10, 10, 20, 20); },
       {{kRedPixel, {{10, 10}, {29, 29}, {29, 10}}},
        {kWhitePixel, {{30, 30}, {9, 10}, {10, 9}, {30, 10}}}}},
      // x 10.4..20.6 covers the centres 10.5..20.5; y 10.6..20.8 the centres 11.5..20.5.
      {"fractional_rectangle_covers_pixel_centres",
       [] { return ShapeWriter(2).Solid(kRed).Styles(0, 1, 0).Rect(10.4, 10.6, 10.2, 10.2); },
       {{kRedPixel, {{10, 11}, {20, 20}}}, {kWhitePixel, {{10, 10}, {21, 11}, {20, 21}, {9, 15}}}}},
      {"fill0_side_fills_the_same",
       [] { return ShapeWriter(1).Solid(kRed).Styles(1, 0, 0).Rect(10, 10, 20, 20); },
       {{kRedPixel, {{10, 10}, {29, 29}}}, {kWhitePixel, {{30, 30}}}}},
      {"triangle",
       [] {
         return ShapeWriter(3)
             .Solid(kRed)
             .Styles(0, 1, 0)
             .MoveTo(10, 10)
             .LineTo(50, 10)
             .LineTo(10, 50)
             .LineTo(10, 10);
       },
       // The hypotenuse is x + y = 60 through pixel centres (x + 0.5, y + 0.5).
       {{kRedPixel, {{12, 12}, {30, 28}, {48, 10}}}, {kWhitePixel, {{30, 30}, {9, 20}, {50, 10}}}}},
      {"half_transparent_fill_over_white",
       [] { return ShapeWriter(3).Solid(0x0000FF80).Styles(0, 1, 0).Rect(0, 0, 50, 50); },
       {{Rgba{127, 127, 255, 255}, {{25, 25}}}, {kWhitePixel, {{75, 75}}}}},
      {"even_odd_leaves_a_hole",
       [] {
         return ShapeWriter(3)
             .Solid(kRed)
             .Styles(0, 1, 0)
             .Rect(10, 10, 40, 40)
             .Rect(20, 20, 20, 20);
       },
       {{kRedPixel, {{15, 15}, {45, 45}}}, {kWhitePixel, {{30, 30}}}}},
      {"non_zero_fills_the_hole",
       [] {
         return ShapeWriter(4)
             .NonZeroRule()
             .Solid(kRed)
             .Styles(0, 1, 0)
             .Rect(10, 10, 40, 40)
             .Rect(20, 20, 20, 20);
       },
       {{kRedPixel, {{15, 15}, {30, 30}}}}},
      // Two squares sharing the edge x = 30: red on its fill1 side, blue on its fill0 side.
      {"two_fills_share_an_edge",
       [] {
         return ShapeWriter(1)
             .Solid(kRed)
             .Solid(kBlue)
             .MoveTo(10, 10)
             .Styles(0, 1, 0)
             .LineTo(30, 10)
             .Styles(0, 2, 0)
             .LineTo(50, 10)
             .LineTo(50, 30)
             .LineTo(30, 30)
             .Styles(0, 1, 0)
             .LineTo(10, 30)
             .LineTo(10, 10)
             .MoveTo(30, 10)
             .Styles(2, 1, 0)
             .LineTo(30, 30);
       },
       {{kRedPixel, {{20, 20}, {29, 29}}},
        {kBluePixel, {{40, 20}, {30, 10}}},
        {kWhitePixel, {{50, 20}}}}},
      // Two pixels wide along y = 20: the rows whose centres lie in [19, 21).
      {"line_two_pixels_wide",
       [] { return ShapeWriter(1).Line(40, kBlack).Styles(0, 0, 1).MoveTo(10, 20).LineTo(50, 20); },
       {{kBlackPixel, {{30, 19}, {30, 20}}}, {kWhitePixel, {{30, 18}, {30, 21}, {60, 20}}}}},
      {"hairline_is_one_pixel",
       [] {
         return ShapeWriter(1).Line(0, kBlack).Styles(0, 0, 1).MoveTo(10, 20.5).LineTo(50, 20.5);
       },
       {{kBlackPixel, {{30, 20}}}, {kWhitePixel, {{30, 19}, {30, 21}}}}},
      {"line_drawn_over_its_fill",
       [] {
         return ShapeWriter(3).Solid(kRed).Line(40, kBlack).Styles(0, 1, 1).Rect(10, 10, 40, 40);
       },
       {{kRedPixel, {{30, 30}}}, {kBlackPixel, {{30, 10}, {10, 30}}}, {kWhitePixel, {{30, 8}}}}},
  };
}

// The shapes, one per frame of a file that the independent parser reads as well.
TEST(PlayerShapes, FillsAndLinesCoverTheRightPixels) {
  const std::vector<ShapeCase> cases = ShapeCases();
  TestMovie all(100, 100);
  for (size_t i = 0; i < cases.size(); ++i) {
    if (i > 0) all.Add(MakeRemoveTag(1));
    all.Add(cases[i].shape().Tag(uint16_t(i + 1))).Place(1, uint16_t(i + 1)).Frame();
  }
  std::unique_ptr<ZuTavoPlayer> player = PlayFromFile(all.Movie());
  ASSERT_NE(player, nullptr);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    std::unique_ptr<ZuImage> image = ShowFrame(*player, int(i + 1));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 100);
    ASSERT_EQ(image->GetHeight(), 100);
    for (const Samples& samples : cases[i].samples) {
      for (const auto& [x, y] : samples.pixels) {
        EXPECT_EQ(PixelAt(*image, x, y), samples.color) << "at " << x << "," << y;
      }
    }
  }
}

// A circle of eight quadratic curves, scaled by the placement: its area in pixels is
// within 1% of pi r squared.
TEST(PlayerShapes, CurvedCircleHasTheAreaOfACircle) {
  struct CircleCase {
    double radius;
    double scale;
  };
  for (CircleCase c : {CircleCase{40, 1.0}, CircleCase{30, 1.5}, CircleCase{80, 0.5}}) {
    SCOPED_TRACE(c.radius * c.scale);
    ShapeWriter shape(3);
    shape.Solid(kRed).Styles(0, 1, 0).MoveTo(c.radius, 0);
    const double step = std::numbers::pi / 4;
    const double controlRadius = c.radius / std::cos(step / 2);
    for (int k = 0; k < 8; ++k) {
      double middle = (k + 0.5) * step, end = (k + 1) * step;
      shape.CurveTo(controlRadius * std::cos(middle), controlRadius * std::sin(middle),
                    c.radius * std::cos(end), c.radius * std::sin(end));
    }
    TestMovie movie(100, 100);
    ZuSwfMatrix place = Matrix(c.scale, c.scale, 0, 0, 50, 50);
    movie.Add(shape.Tag(1)).Add(MakePlaceTag({1, 1, false, &place})).Frame();
    std::unique_ptr<ZuImage> image = RenderFrame(movie.Movie(), 1);
    ASSERT_NE(image, nullptr);
    int covered = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 100; ++x) covered += PixelAt(*image, x, y) == kRedPixel ? 1 : 0;
    }
    double r = c.radius * c.scale;
    EXPECT_NEAR(covered, std::numbers::pi * r * r, 0.01 * std::numbers::pi * r * r);
    EXPECT_EQ(PixelAt(*image, 50, 50), kRedPixel);
    EXPECT_EQ(PixelAt(*image, 50, int(50 - r - 2)), kWhitePixel);
  }
}

TEST(PlayerShapes, LinearAndRadialGradientsRunBetweenTheirColours) {
  // The gradient square (32768 twips a side) scaled onto the 100-pixel stage, centred.
  const double scale = 2000.0 / 32768.0;
  ZuSwfMatrix square = Matrix(scale, scale, 0, 0, 50, 50);
  for (uint8_t type : {uint8_t(0x10), uint8_t(0x12)}) {
    SCOPED_TRACE(int(type));
    ShapeWriter shape(3);
    shape.Gradient(type, square, kRed, kBlue).Styles(0, 1, 0).Rect(0, 0, 100, 100);
    std::unique_ptr<ZuImage> image = RenderFrame(OneShapeMovie(shape).Movie(), 1);
    ASSERT_NE(image, nullptr);
    Rgba start = PixelAt(*image, type == 0x10 ? 0 : 50, 50);
    Rgba middle = PixelAt(*image, type == 0x10 ? 50 : 75, 50);
    Rgba end = PixelAt(*image, 99, type == 0x10 ? 50 : 0);  // a corner lies past the ring
    EXPECT_GE(start.r, 245);
    EXPECT_LE(start.b, 10);
    EXPECT_NEAR(middle.r, 127, 6);
    EXPECT_NEAR(middle.b, 127, 6);
    EXPECT_GE(end.b, 245);
    EXPECT_LE(end.r, 10);
  }
}

// Colour transforms multiply (8.8) and add, alpha too, before mixing over the white stage.
TEST(PlayerShapes, ColorTransformsChangeTheFill) {
  struct TransformCase {
    const char* name;
    ZuSwfColorTransform transform;
    Rgba expected;
  };
  auto transform = [](int rm, int gm, int bm, int am, int ra, int ga, int ba, int aa) {
    ZuSwfColorTransform t;
    t.hasAlpha = true;
    t.redMult = rm, t.greenMult = gm, t.blueMult = bm, t.alphaMult = am;
    t.redAdd = ra, t.greenAdd = ga, t.blueAdd = ba, t.alphaAdd = aa;
    return t;
  };
  const TransformCase cases[] = {
      {"identity", transform(256, 256, 256, 256, 0, 0, 0, 0), {255, 0, 0, 255}},
      {"add_clamps", transform(256, 256, 256, 256, 100, 300, 40, 0), {255, 255, 40, 255}},
      {"multiply_to_zero", transform(0, 256, 256, 256, 0, 0, 0, 0), {0, 0, 0, 255}},
      // r 127, g 100, b 0 at alpha 127 over white.
      {"half_alpha", transform(128, 256, 256, 128, 0, 100, 0, 0), {191, 178, 128, 255}},
      {"alpha_to_zero", transform(256, 256, 256, 0, 0, 0, 0, 0), {255, 255, 255, 255}},
  };
  for (const TransformCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestMovie movie(40, 40);
    ZuSwfMatrix identity;
    movie.Add(ShapeWriter(1).Solid(kRed).Styles(0, 1, 0).Rect(0, 0, 20, 20).Tag(1))
        .Add(MakePlaceTag({1, 1, false, &identity, &c.transform}))
        .Frame();
    std::unique_ptr<ZuImage> image = RenderFrame(movie.Movie(), 1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelAt(*image, 10, 10), c.expected);
    EXPECT_EQ(PixelAt(*image, 30, 30), kWhitePixel);
  }
}

// Malformed shapes draw nothing, warn, and leave the rest of the frame drawn.
TEST(PlayerShapes, MalformedShapesDrawNothingAndWarn) {
  std::vector<uint8_t> good =
      ShapeWriter(3).Solid(kBlue).Styles(0, 1, 0).Rect(0, 0, 30, 30).Body(2);
  struct BadCase {
    const char* name;
    std::vector<uint8_t> body;
    const char* warning = "malformed";
  };
  // The fill style type follows the id and the bounds.
  ZuBitWriter header;
  header.WriteWord(2);
  ZuSwfRect{0, 2000, 0, 2000}.Write(header);
  size_t fillTypeOffset = header.GetBytes().size() + 1;
  std::vector<uint8_t> unknownFill = good;
  unknownFill[fillTypeOffset] = 0x77;
  const BadCase cases[] = {
      {"empty_defines_nothing", {}, "undefined"},
      {"id_only", {2, 0}},
      {"cut_in_the_records", std::vector<uint8_t>(good.begin(), good.end() - 4)},
      {"cut_in_the_styles", std::vector<uint8_t>(good.begin(), good.begin() + fillTypeOffset + 2)},
      {"unknown_fill_type", unknownFill},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestMovie movie(50, 50);
    movie.Add(ShapeWriter(1).Solid(kRed).Styles(0, 1, 0).Rect(20, 20, 30, 30).Tag(1))
        .Add(FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kDefineShape3, c.body))
        .Place(1, 1)
        .Place(2, 2)
        .Frame();
    ZuTavoPlayer player(32);
    ASSERT_TRUE(player.LoadMovie(movie.Movie()));
    std::unique_ptr<ZuImage> image(player.GetCurrentScreenImage());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelAt(*image, 5, 5), kWhitePixel);
    EXPECT_EQ(PixelAt(*image, 25, 25), kRedPixel);
    ASSERT_EQ(player.GetWarnings().size(), 1u);
    EXPECT_NE(player.GetWarnings()[0].find(c.warning), std::string::npos)
        << player.GetWarnings()[0];
  }
}

// Every prefix of a shape body, and the body with each byte flipped, renders without a
// fault (the test build runs under the address and undefined-behaviour sanitizers).
TEST(PlayerShapes, DamagedShapeBodiesNeverFault) {
  ZuSwfMatrix bitmapMatrix = Matrix(40, 40, 5, -3, 2, 3);
  std::vector<uint8_t> body = ShapeWriter(4)
                                  .Solid(kRed)
                                  .BitmapFill(9, 0x40, bitmapMatrix)
                                  .Gradient(0x12, bitmapMatrix, kRed, kBlue)
                                  .Line(60, kBlack)
                                  .Styles(1, 2, 1)
                                  .MoveTo(5, 5)
                                  .CurveTo(30, -20, 45, 40)
                                  .Styles(3, 0, 1)
                                  .LineTo(5, 40)
                                  .LineTo(5, 5)
                                  .Body(1);
  ZuImage pixels(3, 3);
  std::vector<std::vector<uint8_t>> variants;
  for (size_t size = 0; size < body.size(); ++size) {
    variants.emplace_back(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(size));
  }
  for (size_t i = 0; i < body.size(); ++i) {
    variants.push_back(body);
    variants.back()[i] ^= uint8_t(0x5A + i);
  }
  for (size_t v = 0; v < variants.size(); ++v) {
    SCOPED_TRACE(v);
    TestMovie movie(48, 48);
    movie.Add(MakeBitmapTag(9, pixels))
        .Add(FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kDefineShape4, variants[v]))
        .Place(1, 1)
        .Frame();
    std::unique_ptr<ZuImage> image = RenderFrame(movie.Movie(), 1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 48);
  }
}

}  // namespace

// Curves swinging thousands of pixels off the stage are drawn as far as the stage shows
// them, without flattening what it does not show.
TEST(PlayerShapes, HugeCurvesOffTheStageAreDrawn) {
  ShapeWriter shape(3);
  shape.Solid(kRed).Styles(0, 1, 0).MoveTo(0, 50);
  for (int i = 0; i < 3000; ++i) shape.CurveTo(i * 0.03 + 0.015, -3000, i * 0.03 + 0.03, 50);
  shape.LineTo(95, 50).LineTo(95, 99).LineTo(0, 99).LineTo(0, 50);
  TestMovie movie(100, 100);
  movie.Add(shape.Tag(1)).Place(1, 1).Frame();
  ZuTavoPlayer player(32);
  ASSERT_TRUE(player.LoadMovie(movie.Movie()));
  std::unique_ptr<ZuImage> image(player.GetCurrentScreenImage());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelAt(*image, 50, 80), kRedPixel);
  EXPECT_EQ(PixelAt(*image, 97, 80), kWhitePixel);
  EXPECT_TRUE(player.GetWarnings().empty());
}
