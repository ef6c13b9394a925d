#pragma once

#include "host/app/IZuCommandData.h"
#include "host/util/ZuErrorCode.h"

class ZuSlideBase;

// Parameters of command 441: a slide (not owned) and the minimum duration it takes, in
// seconds: how long the slide's other timed content needs.
class ZuSetSlideMinimumCommandData : public IZuCommandData {
 public:
  IZuCommandData* Clone() const override { return new ZuSetSlideMinimumCommandData(*this); }
  ZuErrorCodeEnum SetSlide(ZuSlideBase* slide) {
    m_slide = slide;
    return kZuSuccess;
  }
  ZuSlideBase* GetSlide() const { return m_slide; }
  ZuErrorCodeEnum SetMinimumDuration(double seconds) {
    m_seconds = seconds;
    return kZuSuccess;
  }
  double GetMinimumDuration() const { return m_seconds; }

 private:
  ZuSlideBase* m_slide = nullptr;
  double m_seconds = 0.0;
};
