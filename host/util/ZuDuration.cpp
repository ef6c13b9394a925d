#include "host/util/ZuDuration.h"

ZuDuration::ZuDuration(ZuReal time, ZuDurationUnitOfMeasure unit) : m_time(time), m_unit(unit) {}

ZuReal ZuDuration::GetTime() const {
  if (m_unit == kZuDurationMilliseconds) {
    return ZuReal(m_time.GetValue() / 1000.0);
  }
  return m_time;
}
