#pragma once

#include <cstdint>

#include "host/util/ZuDuration.h"

class ZuSlideBase;

class ZuSlideTimingUtils {
 public:
  // The least duration the slide's content other than its movie needs (its stored
  // minimum); 0 seconds for no slide. reserved: 0.
  static ZuDuration GetMinimumSlideDurationRequired(const ZuSlideBase* slide, int32_t reserved);
};
