#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/ZuKeyCapture.h"

class ZuTavoFile;

// Told once, one line, of what a capture leaves out (the display lacks an extension).
using ZuCaptureWarning = std::function<void(const std::string&)>;

// What part of which X11 screen is recorded, and how.
struct ZuScreenCaptureOptions {
  std::string display = ":0";
  int width = 0;  // the region; 0: the whole screen
  int height = 0;
  int x = 0;
  int y = 0;
  int frameRate = 15;    // 1 to 255
  double duration = -1;  // seconds; negative: until the progress callback says stop
  int depth = 32;        // the recorder's picture depth, 32 or 16
  bool pointer = true;   // record the pointer's position, shape and buttons beside the pictures
  ZuKeyCapture keys = ZuKeyCapture::kOff;
  ZuCaptureWarning warn;  // may be empty
};

// How a capture is going, told after each picture grabbed.
struct ZuCaptureStatus {
  double seconds = 0;   // of the movie so far
  int frames = 0;       // recorded
  int64_t dropped = 0;  // frames that repeat the one before because grabbing fell behind
};
// Returns false to end the recording there.
using ZuCaptureProgress = std::function<bool(const ZuCaptureStatus&)>;

// Records the X11 screen through FFmpeg's X11 grabber into an FMR movie, each picture going
// to the recorder as it arrives, until the duration has passed or progress returns false;
// then the movie gets its hold and stop frames and is returned. The pictures never hold the
// pointer: when the options ask, the pointer and keys go into the movie's pointer track,
// sampled with each picture (ZuInputRecorder), or are left out with a warning when the
// display cannot give them. Throws ZuMediaError when the
// display cannot be opened, the region lies outside the screen, or no picture was grabbed.
std::unique_ptr<ZuTavoFile> ZuCaptureScreen(const ZuScreenCaptureOptions& options,
                                            const ZuCaptureProgress& progress);
