#include "redact/RedactArea.h"

#include <cstdint>

std::string RectangleText(const RedactArea& area) {
  return std::to_string(area.width) + "x" + std::to_string(area.height) + "+" +
         std::to_string(area.x) + "+" + std::to_string(area.y);
}

namespace {

// The stage edge the rectangle passes, or nullptr when it lies inside.
const char* EdgePassed(const RedactArea& area, int stageWidth, int stageHeight) {
  if (area.x < 0) {
    return "left";
  }
  if (area.y < 0) {
    return "top";
  }
  if (static_cast<int64_t>(area.x) + area.width > stageWidth) {
    return "right";
  }
  if (static_cast<int64_t>(area.y) + area.height > stageHeight) {
    return "bottom";
  }
  return nullptr;
}

}  // namespace

std::string WhyNotRedactArea(const RedactArea& area, int stageWidth, int stageHeight,
                             int frameCount) {
  if (area.width <= 0 || area.height <= 0) {
    return "the rectangle " + RectangleText(area) + " is empty";
  }
  if (const char* edge = EdgePassed(area, stageWidth, stageHeight)) {
    return "the rectangle " + RectangleText(area) + " is not inside the " +
           std::to_string(stageWidth) + "x" + std::to_string(stageHeight) +
           " stage: it passes the " + edge + " edge";
  }
  const std::string range =
      "frames " + std::to_string(area.firstFrame) + " to " + std::to_string(area.lastFrame);
  if (area.firstFrame > area.lastFrame) {
    return "the range of " + range + " is empty";
  }
  if (area.firstFrame < 1 || area.lastFrame > frameCount) {
    return range + " are not in the movie (frames 1 to " + std::to_string(frameCount) + ")";
  }
  if (area.fill > 0xFFFFFF) {
    return "the fill colour is not a 0xRRGGBB colour";
  }
  return "";
}
