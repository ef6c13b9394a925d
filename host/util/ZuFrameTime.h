#pragma once

// The one conversion from a time in seconds to a frame number, used by the engine, the edit
// commands and the command line alike, so that a time names the same frame everywhere.
class ZuFrameTime {
 public:
  // floor(frameRate x seconds + 0.5), held within int's range: a time beyond it gives the
  // nearest end, and a time that is not a number gives 0.
  static int SecondsToFrames(double seconds, unsigned frameRate);
};
