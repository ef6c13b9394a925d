#pragma once

#include <vector>

#include "host/app/IZuCommandData.h"
#include "host/util/ZuDuration.h"
#include "host/util/ZuErrorCode.h"

class ZuSlideBase;

// Parameters of command 439: the duration to give to a list of slides (not owned), and
// whether to keep each slide at or above its minimum duration.
class ZuModifySlideDurationCommandData : public IZuCommandData {
 public:
  IZuCommandData* Clone() const override { return new ZuModifySlideDurationCommandData(*this); }

  ZuErrorCodeEnum SetDuration(const ZuDuration& duration) {
    m_duration = duration;
    return kZuSuccess;
  }
  ZuDuration GetDuration() const { return m_duration; }
  ZuErrorCodeEnum AddSlide(ZuSlideBase* slide) {
    m_slides.push_back(slide);
    return kZuSuccess;
  }
  const std::vector<ZuSlideBase*>& GetSlides() const { return m_slides; }
  ZuErrorCodeEnum SetDoConstraintChecking(bool check) {
    m_constraintChecking = check;
    return kZuSuccess;
  }
  bool GetDoConstraintChecking() const { return m_constraintChecking; }

 private:
  ZuDuration m_duration;
  std::vector<ZuSlideBase*> m_slides;
  bool m_constraintChecking = false;
};
