#include "tests/support/PointerTracks.h"

#include <random>
#include <string>

namespace {

ZuPointerShape MakeShape(int width, int height, int hotX, int hotY, std::mt19937& random) {
  ZuPointerShape shape{width, height, hotX, hotY, {}};
  for (int i = 0; i < width * height; ++i) {
    const auto alpha = static_cast<uint8_t>(i % 3 == 0 ? 255 : 128 * (i % 2));
    shape.rgba.insert(shape.rgba.end(),
                      {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                       static_cast<uint8_t>(random()), alpha});
  }
  return shape;
}

}  // namespace

ZuPointerTrack MakePointerTrack(int frames, int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  ZuPointerTrack track;
  track.AddShape(MakeShape(3, 4, 0, 0, random));
  track.AddShape(MakeShape(5, 3, 2, 1, random));
  ZuPointerFrame frame;
  for (int i = 0; i < frames; ++i) {
    const uint32_t dice = random() % 8;
    frame.pressed = 0;
    frame.keys.clear();
    if (dice < 3) {  // a move, sometimes off the stage's edge
      frame.x = static_cast<int>(random() % static_cast<uint32_t>(width + 4)) - 2;
      frame.y = static_cast<int>(random() % static_cast<uint32_t>(height + 4)) - 2;
    }
    frame.shown = dice != 3;
    frame.shape = dice == 4 ? 1 - frame.shape : frame.shape;
    if (dice == 5) {  // a press, or the release of the button held
      frame.pressed = frame.held == 0 ? kZuLeftButton : 0;
      frame.held ^= kZuLeftButton;
    }
    if (dice == 6) {
      frame.keys = {"Ctrl+" + std::string(1, static_cast<char>('A' + i % 26)), "Return"};
    }
    track.frames.push_back(frame);
  }
  return track;
}
