// The scanline fill on its own: which pixels a polygon covers, and the budgets that bound
// its work on hostile input.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "host/player/ZuRasterizer.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Cover(ZuRasterizer& rasterizer, bool nonZero) {
  Pixels covered;
  rasterizer.Rasterize(nonZero, [&](int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) EXPECT_TRUE(covered.insert({x, y}).second) << x << "," << y;
  });
  return covered;
}

Pixels Box(int left, int top, int right, int bottom) {
  Pixels box;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) box.insert({x, y});
  }
  return box;
}

TEST(Rasterizer, CoversThePixelsWhoseCentresLieInside) {
  struct CoverCase {
    const char* name;
    std::vector<ZuPoint> polygon;
    ZuPixelRect clip;
    Pixels expected;
  };
  const CoverCase cases[] = {
      {"whole_pixels", {{2, 1}, {5, 1}, {5, 3}, {2, 3}}, {0, 0, 8, 8}, Box(2, 1, 5, 3)},
      {"either_direction", {{2, 1}, {2, 3}, {5, 3}, {5, 1}}, {0, 0, 8, 8}, Box(2, 1, 5, 3)},
      {"centres_decide",
       {{1.5, 0.5}, {3.5, 0.5}, {3.5, 2.6}, {1.5, 2.6}},
       {0, 0, 8, 8},
       Box(1, 0, 3, 3)},
      {"clipped", {{-5, -5}, {20, -5}, {20, 20}, {-5, 20}}, {1, 2, 4, 3}, Box(1, 2, 4, 3)},
      {"thinner_than_a_centre", {{2.6, 0}, {3.4, 0}, {3.4, 8}, {2.6, 8}}, {0, 0, 8, 8}, {}},
      {"outside_the_clip", {{10, 10}, {12, 10}, {12, 12}}, {0, 0, 8, 8}, {}},
  };
  for (const CoverCase& c : cases) {
    SCOPED_TRACE(c.name);
    ZuRasterizer rasterizer;
    rasterizer.Begin(c.clip);
    rasterizer.AddPolygon(c.polygon);
    EXPECT_EQ(Cover(rasterizer, false), c.expected);
    EXPECT_FALSE(rasterizer.WasCutShort());
  }
}

// Past the edge budget a curve counts as its chord; far from the clip it always does.
TEST(Rasterizer, CurvesBeyondTheBudgetOrTheClipCountAsChords) {
  struct ChordCase {
    const char* name;
    size_t maxEdges;
    ZuPixelRect clip;
    bool asChord;
  };
  const ChordCase cases[] = {
      {"flattened", 1000, {0, 0, 20, 20}, false},
      {"budget_used_up", 2, {0, 0, 20, 20}, true},
      {"clip_out_of_reach", 1000, {0, 15, 20, 20}, true},
  };
  for (const ChordCase& c : cases) {
    SCOPED_TRACE(c.name);
    ZuRasterizer rasterizer(c.maxEdges);
    rasterizer.Begin(c.clip);
    // The closing chord first, then a curve bulging up to y = 0 between (2, 10) and (18, 10).
    rasterizer.AddLine({2, 10}, {18, 10});
    rasterizer.AddLine({18, 10}, {18, 12});
    rasterizer.AddLine({2, 12}, {2, 10});
    rasterizer.AddQuad({18, 12}, {10, -8}, {2, 12});
    Pixels covered = Cover(rasterizer, false);
    // As a chord the curve only closes the strip between y 10 and 12 (left for the rows
    // below 10): nothing above row 10 is covered.
    bool anyAbove = std::any_of(covered.begin(), covered.end(),
                                [](const auto& pixel) { return pixel.second < 10; });
    EXPECT_EQ(anyAbove, !c.asChord);
  }
}

TEST(Rasterizer, StopsWhenAFillWouldTakeTooManySteps) {
  for (size_t budget : {size_t{1000}, size_t{100000}}) {
    SCOPED_TRACE(budget);
    ZuRasterizer rasterizer(1000, budget);
    rasterizer.Begin({0, 0, 100, 100});
    for (int i = 0; i < 50; ++i)
      rasterizer.AddPolygon({{i * 2.0, 0}, {i * 2.0 + 1, 0}, {i * 2.0 + 1, 100}, {i * 2.0, 100}});
    Pixels covered = Cover(rasterizer, false);
    // 100 crossings a row: a budget of 1000 lets 10 rows through.
    bool cutShort = budget < 100 * 100;
    EXPECT_EQ(rasterizer.WasCutShort(), cutShort);
    EXPECT_EQ(covered.size(), cutShort ? size_t(10 * 50) : size_t(100 * 50));
  }
}

}  // namespace
