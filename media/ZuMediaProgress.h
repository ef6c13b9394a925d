#pragma once

#include <cstdint>
#include <functional>

// Told after each frame of long video work how many frames are done and, when known, how
// many there are in all (0 when not known, as while capturing). Returning false asks the
// work to stop: export and import then throw ZuMediaCancelled; capture ends the movie there.
using ZuMediaProgress = std::function<bool(int done, int total)>;

// The seconds the work still needs at the pace it kept so far, given done of total frames in
// elapsed seconds; negative while too little is done to tell (nothing yet, or under a second).
inline double ZuSecondsLeft(int64_t done, int64_t total, double elapsed) {
  if (done <= 0 || total <= 0 || elapsed < 1.0) {
    return -1;
  }
  return static_cast<double>(total - done) * elapsed / static_cast<double>(done);
}
