#pragma once

#include <random>
#include <vector>

#include "host/image/ZuImage.h"
#include "tests/support/RandomImage.h"

// Screen-like test frames for recordings that the edit and player tests work on.

// A rectangle of one color with a small gradient, so that 5-bit pictures see several values.
inline void FillRect(ZuImage& frame, int x, int y, int width, int height, std::mt19937& random) {
  const uint8_t red = static_cast<uint8_t>(random());
  const uint8_t green = static_cast<uint8_t>(random());
  const uint8_t blue = static_cast<uint8_t>(random());
  for (int row = y; row < y + height && row < frame.GetHeight(); ++row) {
    for (int column = x; column < x + width && column < frame.GetWidth(); ++column) {
      uint8_t* pixel = frame.Row(row) + column * 4;
      pixel[0] = static_cast<uint8_t>(red + column * 3);
      pixel[1] = static_cast<uint8_t>(green + row * 5);
      pixel[2] = blue;
      pixel[3] = 255;
    }
  }
}

// count screen-like frames of width x height, the same for a seed on every run: a busy
// first frame, then frames that change nothing, a small rectangle, a single pixel, two
// rectangles far apart, or (every seventh frame) most of the stage, which makes the
// recorder open a new key-frame block.
inline std::vector<ZuImage> MakeScreenFrames(int width, int height, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<ZuImage> frames;
  ZuImage frame = RandomImage(width, height, true, seed);
  frames.push_back(frame);
  for (int i = 1; i < count; ++i) {
    auto pick = [&random](int below) { return static_cast<int>(random() % below); };
    switch (i % 7) {
      case 1:  // no change
        break;
      case 2:
      case 5:
        FillRect(frame, pick(width), pick(height), 1 + pick(width / 3 + 1),
                 1 + pick(height / 3 + 1), random);
        break;
      case 3:
        FillRect(frame, pick(width), pick(height), 1, 1, random);
        break;
      case 4:
        FillRect(frame, 0, 0, 2, 2, random);
        FillRect(frame, width - 2, height - 2, 2, 2, random);
        break;
      case 6:
        FillRect(frame, pick(width), 0, 2, height, random);
        break;
      default:  // most of the stage
        FillRect(frame, 0, 0, width, height - 1, random);
        break;
    }
    frames.push_back(frame);
  }
  return frames;
}
