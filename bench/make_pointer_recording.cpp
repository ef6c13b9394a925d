// make_pointer_recording: writes a demo recording with a pointer track: the pointer (an arrow
// of 16 x 24 pixels) moving over the stage, a click every 1.5 s and a shortcut every 2 s, for
// the overlay benchmark (bench_pointer_overlay.sh).
// Usage: make_pointer_recording OUT.swf FRAMES WIDTHxHEIGHT
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <stdexcept>

#include "bench/ZuBenchSupport.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"

namespace {

// A black arrow with a white edge, its tip the hot spot.
ZuPointerShape Arrow() {
  ZuPointerShape shape;
  shape.width = 16;
  shape.height = 24;
  shape.rgba.assign(size_t{16} * 24 * 4, 0);
  for (int y = 0; y < shape.height; ++y) {
    const int reach = std::min(y * 2 / 3, shape.width - 1);
    for (int x = 0; x <= reach; ++x) {
      uint8_t* pixel = shape.rgba.data() + (ptrdiff_t{y} * shape.width + x) * 4;
      const uint8_t shade = (x == 0 || x == reach || y == shape.height - 1) ? 255 : 0;
      pixel[0] = pixel[1] = pixel[2] = shade;
      pixel[3] = 255;
    }
  }
  return shape;
}

ZuPointerTrack Track(int frames, int frameRate, int width, int height) {
  const char* shortcuts[] = {"Ctrl+S", "Ctrl+Shift+T", "Return", "Alt+Tab"};
  ZuPointerTrack track;
  const int shape = track.AddShape(Arrow());
  for (int index = 0; index < frames; ++index) {
    const double t = static_cast<double>(index) / frameRate;
    ZuPointerFrame frame;
    frame.shown = true;
    frame.shape = shape;
    frame.x = static_cast<int>(width * (0.5 + 0.4 * std::sin(t * 0.9)));
    frame.y = static_cast<int>(height * (0.5 + 0.35 * std::sin(t * 1.3)));
    if (index % (frameRate * 3 / 2) == 0) {
      frame.pressed = kZuLeftButton;
    }
    if (index % (frameRate * 2) == frameRate) {
      frame.keys = {shortcuts[index / (frameRate * 2) % 4]};
    }
    track.frames.push_back(frame);
  }
  return track;
}

}  // namespace

int main(int argc, char** argv) {
  ZuBenchRecording recording;
  const int frames = argc == 4 ? std::atoi(argv[2]) : 0;
  if (argc != 4 || frames < 1 || frames > 16000 ||
      std::sscanf(argv[3], "%dx%d", &recording.width, &recording.height) != 2) {
    std::cerr << "usage: make_pointer_recording OUT.swf FRAMES WIDTHxHEIGHT\n";
    return 2;
  }
  try {
    std::unique_ptr<ZuTavoFile> movie = ZuBenchDemoRecorder(recording).Record(frames);
    const ZuPointerTrack track = Track(static_cast<int>(movie->GetFrameCount()),
                                       recording.frameRate, recording.width, recording.height);
    const std::string error = ZuPutPointerTrack(*movie, track);
    if (!error.empty()) {
      throw std::runtime_error(error);
    }
    ZuBenchWriteMovie(*movie, argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "make_pointer_recording: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
