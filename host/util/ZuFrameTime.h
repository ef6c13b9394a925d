#pragma once

#include <cstdint>

// The conversions between times in seconds and frame numbers, used by the engine, the edit
// commands, the project and the command line alike, so that a time names the same frame
// and a movie has the same length everywhere. Both take the whole frames per second of a
// movie's header, as the edits do.
class ZuFrameTime {
 public:
  // floor(frameRate x seconds + 0.5), held within int's range: a time beyond it gives the
  // nearest end, and a time that is not a number gives 0.
  static int SecondsToFrames(double seconds, unsigned frameRate);
  // frames / frameRate; 0 when the rate is 0 (a movie slower than one frame a second),
  // whose every time names frame 0.
  static double FramesToSeconds(int64_t frames, unsigned frameRate);
};
