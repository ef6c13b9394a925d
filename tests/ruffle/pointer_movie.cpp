// A test program for the player check: puts a known pointer track on a recorded movie, and
// shows the pointer a movie's track ends with, as this library reads it.
//
//   pointer_movie put IN OUT X Y   the arrow moves in steps to (X, Y) and stands there for the
//                                  last frames; writes OUT and prints that last pointer
//   pointer_movie show MOVIE       prints the last frame's pointer
// A pointer prints as one line of JSON: the hot spot, the shape's size and hot spot, and its
// opaque colours.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/support/FileBytes.h"

namespace {

constexpr int kArrowWidth = 12;
constexpr int kArrowHeight = 20;
constexpr int kStandingFrames = 3;  // the last frames, where the pointer stands still
constexpr int kStepX = 7;           // how far the pointer moves a frame before that
constexpr int kStepY = 4;
constexpr uint32_t kOutline = 0x000000;
constexpr uint32_t kFill = 0xffc800;

// Whether pixel (x, y) of the arrow is opaque: a triangle from the top left corner that
// widens to the full width at the bottom row.
bool InArrow(int x, int y) {
  return x >= 0 && y >= 0 && y < kArrowHeight && x * (kArrowHeight - 1) <= y * (kArrowWidth - 1);
}

// The arrow: an outline one pixel wide around a fill, transparent outside, hot spot (1, 1).
ZuPointerShape Arrow() {
  ZuPointerShape shape;
  shape.width = kArrowWidth;
  shape.height = kArrowHeight;
  shape.hotX = 1;
  shape.hotY = 1;
  shape.rgba.resize(size_t{4} * kArrowWidth * kArrowHeight);
  for (int y = 0; y < kArrowHeight; ++y) {
    for (int x = 0; x < kArrowWidth; ++x) {
      if (!InArrow(x, y)) {
        continue;
      }
      const bool inner =
          InArrow(x - 1, y) && InArrow(x + 1, y) && InArrow(x, y - 1) && InArrow(x, y + 1);
      const uint32_t colour = inner ? kFill : kOutline;
      uint8_t* pixel = &shape.rgba[(size_t{4} * ((y * kArrowWidth) + x))];
      pixel[0] = static_cast<uint8_t>(colour >> 16);
      pixel[1] = static_cast<uint8_t>(colour >> 8);
      pixel[2] = static_cast<uint8_t>(colour);
      pixel[3] = 0xff;
    }
  }
  return shape;
}

std::unique_ptr<ZuTavoFile> Load(const std::string& path) {
  auto movie = std::make_unique<ZuTavoFile>();
  if (movie->LoadFromBytes(ZuSharedBytes::Adopt(ReadFileBytes(path))) != kZuSuccess) {
    throw std::runtime_error(path + ": " + movie->GetLastError());
  }
  return movie;
}

// Prints the pointer of frame as one line of JSON.
void Describe(const ZuPointerFrame& frame, const ZuPointerShape& shape) {
  std::set<uint32_t> colours;
  for (size_t i = 0; i + 3 < shape.rgba.size(); i += 4) {
    if (shape.rgba[i + 3] == 0xff) {
      colours.insert((uint32_t{shape.rgba[i]} << 16) | (uint32_t{shape.rgba[i + 1]} << 8) |
                     shape.rgba[i + 2]);
    }
  }
  std::printf(R"({"x":%d,"y":%d,"width":%d,"height":%d,"hotX":%d,"hotY":%d,"colours":[)", frame.x,
              frame.y, shape.width, shape.height, shape.hotX, shape.hotY);
  const char* separator = "";
  for (const uint32_t colour : colours) {
    std::printf("%s\"%06x\"", separator, colour);
    separator = ",";
  }
  std::printf("]}\n");
}

void Put(const std::string& in, const std::string& out, int x, int y) {
  const std::unique_ptr<ZuTavoFile> movie = Load(in);
  ZuPointerTrack track;
  track.AddShape(Arrow());
  const int frames = movie->GetFrameCount();
  for (int i = 0; i < frames; ++i) {
    const int stepsLeft = std::max(0, frames - kStandingFrames - i);
    ZuPointerFrame frame;
    frame.shown = true;
    frame.x = std::max(0, x - (kStepX * stepsLeft));
    frame.y = std::max(0, y - (kStepY * stepsLeft));
    track.frames.push_back(frame);
  }
  const std::string why = ZuPutPointerTrack(*movie, track);
  if (!why.empty()) {
    throw std::runtime_error(in + ": " + why);
  }
  const ZuStatus saved = movie->SaveToFile(out);
  if (!saved.ok()) {
    throw std::runtime_error(out + ": " + saved.Message());
  }
  Describe(track.frames.back(), track.shapes.front());
}

void Show(const std::string& path) {
  const ZuPointerTrack track = ZuReadPointerTrack(*Load(path));
  if (track.Empty() || !track.frames.back().shown) {
    throw std::runtime_error(path + ": no pointer in the last frame");
  }
  Describe(track.frames.back(), track.shapes.at(track.frames.back().shape));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "put" && argc == 6) {
      Put(argv[2], argv[3], std::stoi(argv[4]), std::stoi(argv[5]));
    } else if (command == "show" && argc == 3) {
      Show(argv[2]);
    } else {
      std::fprintf(stderr, "usage: pointer_movie put IN OUT X Y | show MOVIE\n");
      return 2;
    }
  } catch (const std::logic_error&) {  // from std::stoi
    std::fprintf(stderr, "pointer_movie: X and Y are whole numbers\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pointer_movie: %s\n", error.what());
    return 1;
  }
  return 0;
}
