// Bitmap fills: scaled, rotated, tiled, clamped, smoothed; the exact copy of bitmap
// rectangles on whole pixels; bitmaps that cannot be drawn.
#include <gtest/gtest.h>

#include <functional>

#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "tests/player/PlayerTestUtil.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/RandomImage.h"

namespace {

struct FillCase {
  const char* name;
  uint8_t fillType;
  ZuSwfMatrix matrix;  // bitmap pixels -> twips
  int width, height;   // the filled rectangle from (0, 0), pixels
  // The bitmap pixel (column, row) that stage pixel (x, y) shows.
  std::function<std::pair<int, int>(int x, int y)> source;
};

// A 4 x 4 opaque bitmap of random colours, filled in various ways.
TEST(PlayerBitmaps, FillsMapStagePixelsToBitmapPixels) {
  // clang-format off
  const FillCase cases[] = {
      {"one_to_one", 0x43, Matrix(20, 20, 0, 0, 0, 0), 4, 4, [](int x, int y) { return std::pair{x, y}; }},
      {"scaled_twice", 0x43, Matrix(40, 40, 0, 0, 0, 0), 8, 8, [](int x, int y) { return std::pair{x / 2, y / 2}; }},
      // (u, v) -> (4 - v, u) pixels: stage (x, y) shows bitmap (y, 3 - x).
      {"rotated_a_quarter_turn", 0x43, Matrix(0, 0, 20, -20, 4, 0), 4, 4, [](int x, int y) { return std::pair{y, 3 - x}; }},
      {"repeating_tiles", 0x42, Matrix(20, 20, 0, 0, 0, 0), 12, 8, [](int x, int y) { return std::pair{x % 4, y % 4}; }},
      {"clipped_holds_the_edge", 0x43, Matrix(20, 20, 0, 0, 0, 0), 12, 8, [](int x, int y) { return std::pair{std::min(x, 3), std::min(y, 3)}; }},
      {"smoothed_at_pixel_centres_is_exact", 0x41, Matrix(20, 20, 0, 0, 0, 0), 4, 4, [](int x, int y) { return std::pair{x, y}; }},
      {"shifted_by_the_fill_matrix", 0x42, Matrix(20, 20, 0, 0, 1, 2), 8, 8, [](int x, int y) { return std::pair{(x + 3) % 4, (y + 2) % 4}; }},
  };
  // clang-format on
  const ZuImage pixels = RandomImage(4, 4, true, 7);
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestMovie movie(16, 16);
    movie.Add(MakeBitmapTag(1, pixels))
        .Add(ShapeWriter()
                 .BitmapFill(1, c.fillType, c.matrix)
                 .Styles(0, 1)
                 .Rect(0, 0, c.width, c.height)
                 .Tag(2))
        .Place(1, 2)
        .Frame();
    std::unique_ptr<ZuImage> image = RenderFrame(movie.Movie(), 1);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        Rgba expected = kWhitePixel;
        if (x < c.width && y < c.height) {
          auto [u, v] = c.source(x, y);
          expected = PixelAt(pixels, u, v);
        }
        ASSERT_EQ(PixelAt(*image, x, y), expected) << "at " << x << "," << y;
      }
    }
  }
}

// Straight-alpha "over" mixing, done by hand.
void ComposeOver(ZuImage& stage, const ZuImage& bitmap, int left, int top) {
  for (int y = 0; y < bitmap.GetHeight(); ++y) {
    for (int x = 0; x < bitmap.GetWidth(); ++x) {
      int sx = left + x, sy = top + y;
      if (sx < 0 || sy < 0 || sx >= stage.GetWidth() || sy >= stage.GetHeight()) continue;
      const uint8_t* src = bitmap.Row(y) + x * 4;
      uint8_t* dst = stage.Row(sy) + sx * 4;
      unsigned a = src[3];
      for (int i = 0; i < 3; ++i) dst[i] = uint8_t((src[i] * a + dst[i] * (255 - a) + 127) / 255);
    }
  }
}

// Random bitmap rectangles at random whole-pixel positions (some partly off the stage,
// some half transparent, some moved by their placement instead of their shape) compose
// exactly like the same composition done by hand, frame after frame.
TEST(PlayerBitmaps, BitmapRectanglesOnWholePixelsComposeExactly) {
  constexpr int kWidth = 64, kHeight = 48, kFrames = 14;
  uint32_t seed = 2024;
  auto random = [&](int limit) {
    seed = seed * 1664525u + 1013904223u;
    return int((seed >> 8) % unsigned(limit));
  };
  TestMovie movie(kWidth, kHeight);
  movie.Add(MakeBackgroundTag(0x203040));
  ZuImage reference(kWidth, kHeight);
  for (size_t i = 0; i < reference.GetBuffSize(); i += 4) {
    reference.GetBuffer()[i] = 0x20, reference.GetBuffer()[i + 1] = 0x30;
    reference.GetBuffer()[i + 2] = 0x40, reference.GetBuffer()[i + 3] = 255;
  }
  std::vector<ZuImage> expectedFrames;
  for (int frame = 0; frame < kFrames; ++frame) {
    bool fullStage = frame == 0;
    int w = fullStage ? kWidth : 1 + random(24), h = fullStage ? kHeight : 1 + random(20);
    int x = fullStage ? 0 : random(kWidth + 10) - 10, y = fullStage ? 0 : random(kHeight + 8) - 8;
    bool opaque = fullStage || random(2) == 0;
    bool moveByPlacement = random(2) == 0;
    uint16_t bitmapId = uint16_t(2 * frame + 1), shapeId = uint16_t(2 * frame + 2);
    ZuImage pixels = RandomImage(w, h, opaque, seed++);
    ZuSwfTag* bitmap = MakeBitmapTag(bitmapId, pixels);
    // What the bitmap decodes to is what the reference shows.
    std::string error;
    std::unique_ptr<ZuImage> decoded(
        dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(bitmap)->DecodeImage(&error));
    ASSERT_NE(decoded, nullptr) << error;
    ComposeOver(reference, *decoded, x, y);
    expectedFrames.push_back(reference);

    int shapeX = moveByPlacement ? 0 : x, shapeY = moveByPlacement ? 0 : y;
    ZuSwfMatrix place = Matrix(1, 1, 0, 0, moveByPlacement ? x : 0, moveByPlacement ? y : 0);
    uint8_t fillType = uint8_t(0x40 + random(4));
    movie.Add(bitmap)
        .Add(ShapeWriter()
                 .BitmapFill(bitmapId, fillType, Matrix(20, 20, 0, 0, shapeX, shapeY))
                 .Styles(0, 1)
                 .Rect(shapeX, shapeY, w, h)
                 .Tag(shapeId))
        .Add(MakePlaceTag({uint16_t(frame + 1), shapeId, false, &place}))
        .Frame();
  }
  std::unique_ptr<ZuTavoPlayer> player = PlayFromFile(movie.Movie());
  ASSERT_NE(player, nullptr);
  for (int frame = 1; frame <= kFrames; ++frame) {
    SCOPED_TRACE(frame);
    std::unique_ptr<ZuImage> image = ShowFrame(*player, frame);
    std::unique_ptr<ZuImage> alone = RenderFrame(movie.Movie(), frame);
    ASSERT_TRUE(image != nullptr && alone != nullptr);
    EXPECT_TRUE(*image == expectedFrames[size_t(frame - 1)]);
    EXPECT_TRUE(*alone == expectedFrames[size_t(frame - 1)]);
  }
  EXPECT_TRUE(player->GetWarnings().empty());
}

// Fills naming no bitmap leave their shape empty; the frame still renders. A lossless bitmap
// whose data does not decode makes the frame an error naming it: a picture without it would
// be wrong.
TEST(PlayerBitmaps, UndrawableBitmapsLeaveTheShapeEmpty) {
  struct BadCase {
    const char* name;
    uint16_t fillBitmapId;
    bool defineBroken;
    const char* warning;  // nullptr: no warning expected; the error when defineBroken
  };
  const BadCase cases[] = {
      {"data_does_not_inflate", 5, true, "bitmap 5 does not decode"},
      {"undefined_bitmap", 6, false, "undefined"},
      {"no_bitmap_id", 65535, false, nullptr},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestMovie movie(20, 20);
    if (c.defineBroken) movie.Add(FmrMovieBuilder::MakeBrokenBitmap(5, 4, 4));
    movie
        .Add(ShapeWriter()
                 .BitmapFill(c.fillBitmapId, 0x43, Matrix(20, 20, 0, 0, 0, 0))
                 .Styles(0, 1)
                 .Rect(0, 0, 4, 4)
                 .Tag(1))
        .Add(ShapeWriter().Solid(0x00FF00FF).Styles(0, 1).Rect(10, 10, 5, 5).Tag(2))
        .Place(1, 1)
        .Place(2, 2)
        .Frame();
    ZuTavoPlayer player(32);
    ASSERT_TRUE(player.LoadMovie(movie.Movie()));
    for (int attempt = 0; attempt < 2; ++attempt) {
      std::unique_ptr<ZuImage> image(player.GetCurrentScreenImage());
      if (c.defineBroken) {
        EXPECT_EQ(image, nullptr);
        EXPECT_NE(player.GetLastError().find(c.warning), std::string::npos)
            << player.GetLastError();
        continue;
      }
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(PixelAt(*image, 1, 1), kWhitePixel);
      EXPECT_EQ(PixelAt(*image, 12, 12), kGreenPixel);
    }
    if (c.warning == nullptr || c.defineBroken) {
      EXPECT_TRUE(player.GetWarnings().empty());
    } else {
      ASSERT_EQ(player.GetWarnings().size(), 1u);
      EXPECT_NE(player.GetWarnings()[0].find(c.warning), std::string::npos)
          << player.GetWarnings()[0];
    }
  }
}

}  // namespace
