// Choosing the frames a timing edit keeps.

#include "retime/KeptFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The first and the last frame stay whatever the edit asked: the first holds the picture
// every other frame builds on, the last the stop action.
void KeepEnds(std::vector<bool>& keep) {
  if (!keep.empty()) {
    keep.front() = true;
    keep.back() = true;
  }
}

}  // namespace

std::vector<bool> TightenKeeps(const std::vector<bool>& still, int maxStill) {
  std::vector<bool> keep(still.size(), true);
  for (const StillStretch& stretch : StillStretches(still, std::max(maxStill, 0))) {
    // A stretch that reaches the end has the last frame kept for it (KeepEnds) in place of
    // its own last kept one, so that it too lasts maxStill frames.
    const bool reachesEnd = size_t(stretch.last) == still.size();
    const int kept = std::max(maxStill, 0) - (reachesEnd && maxStill > 0 ? 1 : 0);
    for (int frame = stretch.first + kept; frame <= stretch.last; ++frame) {
      keep[size_t(frame) - 1] = false;
    }
  }
  KeepEnds(keep);
  return keep;
}

std::vector<bool> SpeedKeeps(int frameCount, int first, int last, double step) {
  std::vector<bool> keep(size_t(std::max(frameCount, 0)), true);
  if (first < 1 || last > frameCount || first > last || !(step >= 1.0)) {
    return keep;
  }
  std::fill(keep.begin() + (first - 1), keep.begin() + last, false);
  const int64_t count = last - first + 1;
  for (int64_t shown = 0;; ++shown) {
    // Whole steps are counted exactly; a fraction is spread by rounding down.
    const double offset = std::floor(double(shown) * step);
    if (offset >= double(count)) {
      break;
    }
    keep[size_t(first - 1 + static_cast<int64_t>(offset))] = true;
  }
  KeepEnds(keep);
  return keep;
}

std::vector<bool> SpeedKeepsCount(int frameCount, int first, int last, int shown) {
  std::vector<bool> keep(size_t(std::max(frameCount, 0)), true);
  const int64_t count = int64_t{last} - first + 1;
  if (first < 1 || last > frameCount || count < 1 || shown < 1 || shown > count) {
    return keep;
  }
  std::fill(keep.begin() + (first - 1), keep.begin() + last, false);
  for (int64_t index = 0; index < shown; ++index) {
    keep[size_t(first - 1 + index * count / shown)] = true;
  }
  KeepEnds(keep);
  return keep;
}

int DroppedCount(const std::vector<bool>& keep) {
  return static_cast<int>(std::count(keep.begin(), keep.end(), false));
}
