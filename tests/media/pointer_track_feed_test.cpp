// The pointer track a capture builds beside its frames: which frame each sample and its
// events land in, when pictures are repeated, replaced before their tick, or followed by the
// recorder's hold and stop frames.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/ZuPointerTrackFeed.h"

namespace {

// A picture arriving: the movie had `frames` frames once the held one was recorded, and
// the new picture's sample is at x with the presses and keys given.
struct Arrival {
  int frames;
  int x;
  uint8_t pressed;
  std::vector<std::string> keys;
};

struct Expected {
  int x;
  uint8_t pressed;
  std::vector<std::string> keys;
};

TEST(PointerTrackFeed, EachFrameShowsItsPicturesSampleAndEveryEventOnce) {
  struct Case {
    const char* name;
    std::vector<Arrival> arrivals;
    int recorded;  // frames once the input ended
    int total;     // with the hold and stop frames
    std::vector<Expected> frames;
  };
  const Case cases[] = {
      {"one frame a picture",
       {{0, 1, kZuLeftButton, {"Return"}}, {1, 2, 0, {}}, {2, 3, kZuRightButton, {}}},
       3,
       5,
       {{1, kZuLeftButton, {"Return"}},
        {2, 0, {}},
        {3, kZuRightButton, {}},
        {3, 0, {}},
        {3, 0, {}}}},
      {"a picture repeated for ticks with none",
       {{0, 4, kZuLeftButton, {"Ctrl+S"}}, {3, 5, 0, {}}},
       4,
       4,
       {{4, kZuLeftButton, {"Ctrl+S"}}, {4, 0, {}}, {4, 0, {}}, {5, 0, {}}}},
      {"a picture replaced before its tick",
       {{0, 6, 0, {}}, {1, 7, kZuLeftButton, {"Ctrl+S"}}, {1, 8, kZuRightButton, {"Return"}}},
       2,
       2,
       {{6, 0, {}}, {8, kZuLeftButton | kZuRightButton, {"Ctrl+S", "Return"}}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    ZuPointerTrackFeed feed;
    for (const Arrival& arrival : test.arrivals) {
      feed.Fill(arrival.frames);
      ZuPointerFrame sample;
      sample.shown = true;
      sample.x = arrival.x;
      sample.pressed = arrival.pressed;
      sample.keys = arrival.keys;
      feed.Hold(sample);
    }
    feed.Fill(test.recorded);
    const ZuPointerTrack track = feed.Finish({ZuPointerShape{}}, test.total);
    ASSERT_EQ(track.frames.size(), test.frames.size());
    EXPECT_EQ(track.shapes.size(), 1u);
    for (size_t i = 0; i < test.frames.size(); ++i) {
      const ZuPointerFrame& frame = track.frames[i];
      EXPECT_EQ(frame.x, test.frames[i].x) << "frame " << i;
      EXPECT_EQ(frame.pressed, test.frames[i].pressed) << "frame " << i;
      EXPECT_EQ(frame.keys, test.frames[i].keys) << "frame " << i;
      EXPECT_TRUE(frame.shown) << "frame " << i;
    }
  }
}

}  // namespace
