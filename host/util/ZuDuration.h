#pragma once

#include "host/util/ZuReal.h"

enum ZuDurationUnitOfMeasure { kZuDurationSeconds = 0, kZuDurationMilliseconds = 1 };

// A length of time with its unit. GetTime() returns it in seconds whatever the unit.
class ZuDuration {
 public:
  ZuDuration() = default;
  ZuDuration(ZuReal time, ZuDurationUnitOfMeasure unit);

  ZuReal GetTime() const;
  ZuDurationUnitOfMeasure GetUnit() const { return m_unit; }

 private:
  ZuReal m_time;
  ZuDurationUnitOfMeasure m_unit = kZuDurationSeconds;
};
