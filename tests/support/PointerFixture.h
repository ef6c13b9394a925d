#pragma once

#include <cstdint>
#include <string>

#include "host/image/ZuImage.h"
#include "host/image/ZuPixelRect.h"
#include "host/pointer/ZuPointerTrack.h"

// A pointer track with known contents for the overlay tests, and how pictures differ.

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
inline int PointerX(int index) { return 40 + index; }
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
