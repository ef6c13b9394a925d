#include <gtest/gtest.h>

#include <vector>

#include "host/image/ZuImage.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "tests/support/PointerFixture.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr double kRate = 10;  // a ring lasts 4 frames, a key 15
constexpr int kFrames = 30;
constexpr int kPressAt = 5;
constexpr int kKeysAt = 10;

// A picture with a different colour in every pixel nearby, so a shifted overlay shows.
ZuImage PlainPicture(int shift = 0) {
  ZuImage picture(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* pixel = picture.Row(y) + ptrdiff_t{4} * x;
      pixel[0] = static_cast<uint8_t>(x * 3 + shift);
      pixel[1] = static_cast<uint8_t>(y * 2);
      pixel[2] = static_cast<uint8_t>(x + y);
      pixel[3] = 255;
    }
  }
  return picture;
}

ZuOverlaySettings Settings(ZuPointerLook look, bool clicks, bool keys, double scale = 2.0) {
  ZuOverlaySettings settings;
  settings.pointer = look;
  settings.largeScale = scale;
  settings.clicks = clicks;
  settings.keys = keys;
  return settings;
}

// Frame index (from 0) drawn alone by a new overlay, over the plain picture.
ZuImage DrawnAlone(const ZuOverlaySettings& settings, int index) {
  ZuPointerOverlay overlay(KnownPointerTrack(kFrames, kPressAt, kKeysAt), settings, kRate);
  ZuPixelRect redrawn{0, 0, kWidth, kHeight};
  return overlay.Draw(PlainPicture(), index + 1, redrawn);
}

struct OverlayCase {
  const char* name;
  ZuOverlaySettings settings;
  int index;
  OverlayShows shows;
};

TEST(PointerOverlayTest, DrawsWhatTheSettingsAskAtTheirTimes) {
  const ZuOverlaySettings show = Settings(ZuPointerLook::kShow, false, false);
  const ZuOverlaySettings large = Settings(ZuPointerLook::kLarge, false, false);
  const ZuOverlaySettings hidden = Settings(ZuPointerLook::kHide, false, false);
  const ZuOverlaySettings clicks = Settings(ZuPointerLook::kHide, true, false);
  const ZuOverlaySettings keys = Settings(ZuPointerLook::kHide, false, true);
  const OverlayCase cases[] = {
      {"shown at the first frame", show, 0, OverlayShows::kPointer},
      {"shown as it moves", show, 20, OverlayShows::kPointer},
      {"large", large, 3, OverlayShows::kLargePointer},
      {"hidden", hidden, 3, OverlayShows::kNothing},
      {"no ring before the press", clicks, kPressAt - 1, OverlayShows::kNothing},
      {"a ring at the press", clicks, kPressAt, OverlayShows::kRing},
      {"the ring still there after 0.3 s", clicks, kPressAt + 3, OverlayShows::kRing},
      {"the ring gone after 0.4 s", clicks, kPressAt + 4, OverlayShows::kNothing},
      {"no caption before the keys", keys, kKeysAt - 1, OverlayShows::kNothing},
      {"the caption at the keys", keys, kKeysAt, OverlayShows::kCaption},
      {"the caption 1.4 s later", keys, kKeysAt + 14, OverlayShows::kCaption},
      {"the caption gone after 1.5 s", keys, kKeysAt + 15, OverlayShows::kNothing},
      {"past the track's end", show, kFrames, OverlayShows::kNothing},
  };
  for (const OverlayCase& test : cases) {
    SCOPED_TRACE(test.name);
    ExpectOverlayShows(test.shows, test.index, kPressAt, DrawnAlone(test.settings, test.index),
                       PlainPicture());
  }
}

TEST(PointerOverlayTest, CaptionGrowsWithItsTextAndStaysOnTheStage) {
  ZuPointerTrack track = KnownPointerTrack(3, -1, 0);
  track.frames[1].keys = {"Ctrl+Shift+Alt+Delete", "Return", "Escape", "Tab", "Ctrl+Z"};
  ZuPointerOverlay overlay(track, Settings(ZuPointerLook::kHide, false, true), kRate);
  const ZuImage plain = PlainPicture();
  ZuPixelRect redrawn{0, 0, kWidth, kHeight};
  const ZuPixelRect shortBox = DifferenceBounds(overlay.Draw(plain, 1, redrawn), plain);
  const ZuPixelRect longBox = DifferenceBounds(overlay.Draw(plain, 2, redrawn), plain);
  EXPECT_GT(longBox.Width(), shortBox.Width());
  EXPECT_EQ(longBox.top, shortBox.top);
  EXPECT_EQ(longBox.Intersect({0, 0, kWidth, kHeight}), longBox);
}

TEST(PointerOverlayTest, DrawsAnythingOnlyWhenSomethingIsToBeSeen) {
  struct Case {
    const char* name;
    ZuPointerTrack track;
    ZuOverlaySettings settings;
    bool draws;
  };
  ZuPointerTrack hiddenPointer = KnownPointerTrack(4, -1, -1);
  for (ZuPointerFrame& frame : hiddenPointer.frames) frame.shown = false;
  const Case cases[] = {
      {"no track", {}, Settings(ZuPointerLook::kShow, true, true), false},
      {"shown", KnownPointerTrack(4, -1, -1), Settings(ZuPointerLook::kShow, false, false), true},
      {"hidden", KnownPointerTrack(4, 1, 2), Settings(ZuPointerLook::kHide, false, false), false},
      {"clicks", KnownPointerTrack(4, 1, -1), Settings(ZuPointerLook::kHide, true, false), true},
      {"clicks, none made", KnownPointerTrack(4, -1, 2),
       Settings(ZuPointerLook::kHide, true, false), false},
      {"keys", KnownPointerTrack(4, -1, 2), Settings(ZuPointerLook::kHide, false, true), true},
      {"keys, none pressed", KnownPointerTrack(4, 1, -1),
       Settings(ZuPointerLook::kHide, false, true), false},
      {"never on the stage", hiddenPointer, Settings(ZuPointerLook::kLarge, false, false), false},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ZuPointerOverlay(test.track, test.settings, kRate).DrawsAnything(), test.draws)
        << test.name;
  }
}

// The player's pictures change in a block that moves; the overlay is asked for frames in
// order and out of it. Each picture must be what a new overlay draws, and differ from the one
// before only inside the area reported.
TEST(PointerOverlayTest, ReportsEveryPixelThatChanged) {
  const std::vector<int> orders[] = {
      {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 26, 27},
      {6, 6, 7, 30, 5, 11, 11, 12, 2, 25, 26, 9},
  };
  const ZuOverlaySettings settings = Settings(ZuPointerLook::kLarge, true, true, 2.5);
  for (const std::vector<int>& order : orders) {
    ZuPointerOverlay overlay(KnownPointerTrack(kFrames, kPressAt, kKeysAt), settings, kRate);
    ZuImage before(0, 0);
    ZuPixelRect block;
    for (size_t step = 0; step < order.size(); ++step) {
      const int frame = order[step];
      SCOPED_TRACE("frame " + std::to_string(frame) + " at step " + std::to_string(step));
      // The player's picture: the plain one with a block that moves with the frame.
      ZuImage picture = PlainPicture();
      const ZuPixelRect now{frame * 4, 25, frame * 4 + 12, 37};
      for (int y = now.top; y < now.bottom; ++y) {
        for (int x = now.left; x < now.right && x < kWidth; ++x) picture.Row(y)[x * 4 + 2] = 9;
      }
      ZuPixelRect redrawn = step == 0 ? ZuPixelRect{0, 0, kWidth, kHeight} : block.Union(now);
      block = now;
      const ZuImage drawn = overlay.Draw(picture, frame, redrawn);
      ZuPointerOverlay alone(KnownPointerTrack(kFrames, kPressAt, kKeysAt), settings, kRate);
      ZuPixelRect whole{0, 0, kWidth, kHeight};
      EXPECT_EQ(DifferenceBounds(drawn, alone.Draw(picture, frame, whole)), ZuPixelRect{});
      if (step > 0) {
        const ZuPixelRect changed = DifferenceBounds(drawn, before);
        EXPECT_TRUE(changed.IsEmpty() || changed.Intersect(redrawn) == changed);
      }
      before = drawn;
    }
  }
}

}  // namespace
