#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/image/ZuImage.h"
#include "host/image/ZuPixelRect.h"
#include "host/pointer/ZuPointerTrack.h"

// A pointer track with known contents for the overlay tests, and the checks of what an
// overlay drew over the player's picture.

// The pointer's colour: an 8 x 8 shape whose top left 6 x 6 pixels are this, the rest clear,
// with its hot spot at (1, 1).
constexpr uint8_t kPointerRgba[4] = {200, 30, 40, 255};
constexpr int kPointerSolid = 6;
constexpr int kPointerHot = 1;

inline ZuPointerShape KnownPointerShape() {
  ZuPointerShape shape;
  shape.width = 8;
  shape.height = 8;
  shape.hotX = kPointerHot;
  shape.hotY = kPointerHot;
  shape.rgba.assign(size_t{8} * 8 * 4, 0);
  for (int y = 0; y < kPointerSolid; ++y) {
    for (int x = 0; x < kPointerSolid; ++x) {
      for (int c = 0; c < 4; ++c) shape.rgba[(size_t{8} * y + x) * 4 + c] = kPointerRgba[c];
    }
  }
  return shape;
}

// Where the fixture's pointer is in frame index (from 0): moving right a pixel a frame.
inline int PointerX(int index) {
  return 40 + index;
}
constexpr int kPointerY = 30;

// A track of frames frames, the pointer shown throughout, one left press at frame index
// pressAt and the key "Ctrl+S" at frame index keysAt.
inline ZuPointerTrack KnownPointerTrack(int frames, int pressAt, int keysAt) {
  ZuPointerTrack track;
  const int shape = track.AddShape(KnownPointerShape());
  for (int index = 0; index < frames; ++index) {
    ZuPointerFrame frame;
    frame.shown = true;
    frame.x = PointerX(index);
    frame.y = kPointerY;
    frame.shape = shape;
    if (index == pressAt) {
      frame.pressed = kZuLeftButton;
      frame.held = kZuLeftButton;
    }
    if (index == keysAt) frame.keys = {"Ctrl+S"};
    track.frames.push_back(frame);
  }
  return track;
}

// The smallest rectangle holding every pixel in which a and b (of one size) differ.
inline ZuPixelRect DifferenceBounds(const ZuImage& a, const ZuImage& b) {
  ZuPixelRect bounds;
  for (int y = 0; y < a.GetHeight(); ++y) {
    for (int x = 0; x < a.GetWidth(); ++x) {
      for (int c = 0; c < 4; ++c) {
        if (a.Row(y)[x * 4 + c] != b.Row(y)[x * 4 + c]) {
          bounds = bounds.Union({x, y, x + 1, y + 1});
          break;
        }
      }
    }
  }
  return bounds;
}

// What a frame of the known track is to show over the player's picture.
enum class OverlayShows {
  kNothing,
  kPointer,       // the shape at 1x, hot spot at the frame's pointer position
  kLargePointer,  // the shape at 2x about the hot spot
  kRing,          // something centred on the press (at frame index pressAt), above the bottom
  kCaption,       // something centred in the bottom third only
};

// Checks that drawn, frame index of the known track, differs from plain as shows says.
inline void ExpectOverlayShows(OverlayShows shows, int index, int pressAt, const ZuImage& drawn,
                               const ZuImage& plain) {
  const ZuPixelRect changed = DifferenceBounds(drawn, plain);
  const auto pixelIsPointer = [&drawn](int x, int y) {
    return std::equal(kPointerRgba, kPointerRgba + 4, drawn.Row(y) + ptrdiff_t{4} * x);
  };
  const int height = plain.GetHeight();
  switch (shows) {
    case OverlayShows::kNothing:
      EXPECT_TRUE(changed.IsEmpty());
      break;
    case OverlayShows::kPointer: {
      const int left = PointerX(index) - kPointerHot;
      const int top = kPointerY - kPointerHot;
      EXPECT_EQ(changed, (ZuPixelRect{left, top, left + kPointerSolid, top + kPointerSolid}));
      EXPECT_TRUE(pixelIsPointer(left, top));
      EXPECT_TRUE(pixelIsPointer(left + kPointerSolid - 1, top + kPointerSolid - 1));
      break;
    }
    case OverlayShows::kLargePointer: {
      const int left = PointerX(index) - 2 * kPointerHot;
      const int top = kPointerY - 2 * kPointerHot;
      EXPECT_NEAR(changed.left, left, 1);
      EXPECT_NEAR(changed.top, top, 1);
      EXPECT_NEAR(changed.Width(), 2 * kPointerSolid, 1);
      EXPECT_NEAR(changed.Height(), 2 * kPointerSolid, 1);
      EXPECT_TRUE(pixelIsPointer(left + kPointerSolid, top + kPointerSolid));
      break;
    }
    case OverlayShows::kRing:
      ASSERT_FALSE(changed.IsEmpty());
      EXPECT_NEAR((changed.left + changed.right) / 2.0, PointerX(pressAt), 1.5);
      EXPECT_NEAR((changed.top + changed.bottom) / 2.0, kPointerY, 1.5);
      EXPECT_LT(changed.bottom, height * 2 / 3);
      break;
    case OverlayShows::kCaption:
      ASSERT_FALSE(changed.IsEmpty());
      EXPECT_GE(changed.top, height * 2 / 3);
      EXPECT_LE(changed.bottom, height);
      EXPECT_NEAR(changed.left, plain.GetWidth() - changed.right, 2);
      break;
  }
}
