// A test program for the player check:
//
//   pointer_movie IN OUT X Y
//
// puts a known pointer track on the recorded movie IN and writes OUT: a rectangle with an outline
// and a fill, its hot spot at (1, 1), that moves in steps to (X, Y) and stands there for the last
// frames. Prints that last pointer as one line of JSON: the hot spot, the shape's size and hot
// spot, and its colours.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/support/FileBytes.h"

namespace {

constexpr int kWidth = 12;
constexpr int kHeight = 20;
constexpr int kStandingFrames = 3;  // the last frames, where the pointer stands still
constexpr int kStepX = 7;           // how far the pointer moves a frame before that
constexpr int kStepY = 4;
constexpr uint32_t kOutline = 0x000000;
constexpr uint32_t kFill = 0xffc800;

ZuPointerShape Shape() {
  ZuPointerShape shape{kWidth, kHeight, 1, 1, {}};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool edge = x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1;
      const uint32_t colour = edge ? kOutline : kFill;
      shape.rgba.insert(shape.rgba.end(),
                        {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                         static_cast<uint8_t>(colour), 0xff});
    }
  }
  return shape;
}

void Put(const std::string& in, const std::string& out, int x, int y) {
  ZuTavoFile movie;
  if (movie.LoadFromBytes(ZuSharedBytes::Adopt(ReadFileBytes(in))) != kZuSuccess) {
    throw std::runtime_error(in + ": " + movie.GetLastError());
  }
  ZuPointerTrack track;
  track.AddShape(Shape());
  const int frames = movie.GetFrameCount();
  for (int i = 0; i < frames; ++i) {
    const int stepsLeft = std::max(0, frames - kStandingFrames - i);
    track.frames.push_back(
        {true, std::max(0, x - (kStepX * stepsLeft)), std::max(0, y - (kStepY * stepsLeft)), 0});
  }
  const std::string why = ZuPutPointerTrack(movie, track);
  if (!why.empty()) {
    throw std::runtime_error(in + ": " + why);
  }
  const ZuStatus saved = movie.SaveToFile(out);
  if (!saved.ok()) {
    throw std::runtime_error(out + ": " + saved.Message());
  }
  const ZuPointerFrame& last = track.frames.back();
  std::printf(
      R"({"x":%d,"y":%d,"width":%d,"height":%d,"hotX":1,"hotY":1,"colours":["%06x","%06x"]})"
      "\n",
      last.x, last.y, kWidth, kHeight, kOutline, kFill);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: pointer_movie IN OUT X Y\n");
    return 2;
  }
  try {
    Put(argv[1], argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
  } catch (const std::logic_error&) {  // from std::stoi
    std::fprintf(stderr, "pointer_movie: X and Y are whole numbers\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pointer_movie: %s\n", error.what());
    return 1;
  }
  return 0;
}
