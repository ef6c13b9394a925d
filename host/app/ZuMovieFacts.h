#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/util/ZuSharedBytes.h"

// What the host needs to know of a movie file before it becomes a resource: its bytes,
// whether it is an FMR recording, its length.
struct ZuMovieFacts {
  ZuSharedBytes bytes;
  bool fmr = false;
  uint16_t frameCount = 0;
  uint16_t frameRate = 0;  // whole frames per second
  double duration = 0.0;   // frame count / frame rate, seconds; 0 without a frame rate

  // Reads and examines the SWF file at path. False, with a one-line reason, when it cannot be
  // read or is not an SWF movie.
  static bool ReadFile(const std::string& path, ZuMovieFacts* facts, std::string* error);
  // The same for movie bytes in memory.
  static bool Examine(ZuSharedBytes bytes, ZuMovieFacts* facts, std::string* error);
};
