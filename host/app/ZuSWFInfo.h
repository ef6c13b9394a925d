#pragma once

#include <cstdint>

#include "host/util/ZuFile.h"
#include "host/util/ZuString.h"

// Describes one SWF movie to be shown on a new slide by command 116: the file, and a picture
// of its first frame (borrowed pixels, 4 bytes each) for the slide's thumbnail. The other
// fields set how the slide shows the movie; the values are the host's own layout codes.
struct ZuSWFInfo {
  ZuFile swfFile;
  int32_t placement = 0;                 // word 1
  const uint8_t* imagePixels = nullptr;  // borrowed for the call that takes the record
  int32_t imageWidth = 0;
  int32_t imageHeight = 0;
  int32_t imageBitDepth = 0;
  int32_t fitMode = 10;     // word 2: 10 fit to slide, 9 keep the movie's own size
  int64_t startOffset = 0;  // word 3
  double scale = 0.0;       // real 1
  int32_t alignment = 3;    // word 4
  int32_t offsetX = 0;      // words 5 and 6
  int32_t offsetY = 0;
  int32_t loopMode = 0;  // word 7
  int32_t layer = 3;     // word 8
  uint8_t visible = 1;   // flags 1 and 2
  uint8_t playOnEnter = 1;
  int16_t transition = 0;    // short 1
  int32_t volume = 0;        // word 9
  uint8_t locked = 0;        // flag 3
  int32_t reserved = 0;      // word 10
  int16_t autoSize = 1;      // short 2
  int16_t effects = 0;       // short 3
  int32_t linkedSlide = -1;  // word 11
  ZuString text;
};
