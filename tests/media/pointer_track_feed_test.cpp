// The frame each capture sample and its events land in: pictures repeated, replaced before
// their tick, or followed by the recorder's hold and stop frames.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "media/ZuPointerTrackFeed.h"

namespace {

using Sample = std::tuple<int, uint8_t, std::vector<std::string>>;  // x, pressed, keys

TEST(PointerTrackFeed, EachFrameShowsItsPicturesSampleAndEveryEventOnce) {
  constexpr uint8_t kLeft = kZuLeftButton;
  struct Case {
    std::vector<std::pair<int, Sample>> arrivals;  // frames recorded before, the new sample
    int recorded;                                  // frames once the input ended
    int total;                                     // with the hold and stop frames
    std::vector<Sample> frames;
  };
  // clang-format off
  const Case cases[] = {
      {{{0, {1, kLeft, {"Return"}}}, {1, {2, 0, {}}}, {2, {3, kZuRightButton, {}}}}, 3, 5,
       {{1, kLeft, {"Return"}}, {2, 0, {}}, {3, kZuRightButton, {}}, {3, 0, {}}, {3, 0, {}}}},
      // A picture repeated for ticks with none.
      {{{0, {4, kLeft, {"Ctrl+S"}}}, {3, {5, 0, {}}}}, 4, 4,
       {{4, kLeft, {"Ctrl+S"}}, {4, 0, {}}, {4, 0, {}}, {5, 0, {}}}},
      // A picture replaced before its tick.
      {{{0, {6, 0, {}}}, {1, {7, kLeft, {"Ctrl+S"}}}, {1, {8, kZuRightButton, {"Return"}}}}, 2, 2,
       {{6, 0, {}}, {8, kLeft | kZuRightButton, {"Ctrl+S", "Return"}}}},
  };
  // clang-format on
  for (const Case& test : cases) {
    ZuPointerTrackFeed feed;
    for (const auto& [frames, sample] : test.arrivals) {
      feed.Fill(frames);
      ZuPointerFrame frame;
      std::tie(frame.x, frame.pressed, frame.keys) = sample;
      feed.Hold(frame);
    }
    feed.Fill(test.recorded);
    const ZuPointerTrack track = feed.Finish({ZuPointerShape{}}, test.total);
    EXPECT_EQ(track.shapes.size(), 1u);
    std::vector<Sample> frames;
    for (const ZuPointerFrame& frame : track.frames) {
      frames.emplace_back(frame.x, frame.pressed, frame.keys);
    }
    EXPECT_EQ(frames, test.frames);
  }
}

}  // namespace
