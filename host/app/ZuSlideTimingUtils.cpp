#include "host/app/ZuSlideTimingUtils.h"

#include "host/app/ZuSlideBase.h"

ZuDuration ZuSlideTimingUtils::GetMinimumSlideDurationRequired(const ZuSlideBase* slide, int32_t) {
  const double seconds = slide != nullptr ? slide->GetMinimumDuration() : 0.0;
  return ZuDuration(seconds, kZuDurationSeconds);
}
