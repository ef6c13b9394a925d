#pragma once

#include <cstdint>
#include <string>

#include "host/util/ZuSharedBytes.h"

// What the host needs to know of a movie file before it becomes a resource: its bytes,
// whether it is an FMR recording, its length. The project file keeps the facts with the
// stored bytes, so that they can be had again without reading the movie.
struct ZuMovieFacts {
  ZuSharedBytes bytes;
  bool fmr = false;
  uint16_t frameCount = 0;
  uint16_t frameRate = 0;  // whole frames per second
  double duration = 0.0;   // frame count / frame rate, seconds; 0 without a frame rate

  // Maps the SWF file at path (the bytes then are the mapping: the file is read once, for
  // the examination and for whoever stores the bytes) and examines it. False, with a
  // one-line reason, when it cannot be read or is not an SWF movie.
  static bool ReadFile(const std::string& path, ZuMovieFacts* facts, std::string* error);
  // The same for movie bytes in memory.
  static bool Examine(ZuSharedBytes bytes, ZuMovieFacts* facts, std::string* error);

  // Sets the frame count and rate, and the duration that follows from them.
  void SetLength(uint16_t frames, uint16_t rate);
};
