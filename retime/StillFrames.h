#pragma once

#include <cstdint>
#include <vector>

#include "host/image/ZuPixelRect.h"

class ZuTavoFile;

// Which frames of a movie change nothing on screen, read from the tags alone: a frame is
// still when every placement and removal it makes touches only pixels the rule ignores. A
// placement touches the box of its shape under its matrix (and the box of what it replaces
// or moves at its depth); a removal the box of what it takes away. Frame 1 shows the first
// picture and is never still.

// The changes that do not count. The default counts every change.
struct StillRule {
  // A change whose box lies wholly inside one of these (a clock in a corner) does not count.
  std::vector<ZuPixelRect> ignore;
  // Nor a change whose box has fewer pixels than this (a blinking caret).
  int64_t ignoreSmallerThan = 0;
  bool operator==(const StillRule&) const = default;
};

// A run of still frames, first to last, counted from 1.
struct StillStretch {
  int first = 0;
  int last = 0;
  int Count() const { return last - first + 1; }
  bool operator==(const StillStretch&) const = default;
};

// One entry per frame of the movie (frame n at index n - 1): whether it is still.
std::vector<bool> FindStillFrames(const ZuTavoFile& movie, const StillRule& rule);

// The maximal runs of still frames longer than longerThan frames, in order.
std::vector<StillStretch> StillStretches(const std::vector<bool>& still, int longerThan);
