#include "host/util/ZuFrameTime.h"

#include <climits>
#include <cmath>

int ZuFrameTime::SecondsToFrames(double seconds, unsigned frameRate) {
  const double frames = std::floor(frameRate * seconds + 0.5);
  if (std::isnan(frames)) {
    return 0;
  }
  if (frames <= static_cast<double>(INT_MIN)) {
    return INT_MIN;
  }
  if (frames >= static_cast<double>(INT_MAX)) {
    return INT_MAX;
  }
  return static_cast<int>(frames);
}

double ZuFrameTime::FramesToSeconds(int64_t frames, unsigned frameRate) {
  return frameRate == 0 ? 0.0 : static_cast<double>(frames) / frameRate;
}
