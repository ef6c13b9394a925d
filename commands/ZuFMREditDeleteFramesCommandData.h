#pragma once

#include "commands/ZuFMREditCommandDataBase.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuReal.h"

class ZuSlideBase;

// Parameters of the delete-frames command (888): which slide's movie loses which time
// range. Points to the slide without owning it.
class ZuFMREditDeleteFramesCommandData : public ZuFMREditCommandDataBase {
 public:
  ZuFMREditDeleteFramesCommandData() = default;
  ZuFMREditDeleteFramesCommandData(const ZuFMREditDeleteFramesCommandData& other) = default;
  ZuFMREditDeleteFramesCommandData& operator=(const ZuFMREditDeleteFramesCommandData&) = default;
  ~ZuFMREditDeleteFramesCommandData() override = default;

  IZuCommandData* Clone() const override;

  ZuSlideBase* GetFMRSlide() const { return m_fmrSlide; }
  ZuErrorCodeEnum SetFMRSlide(ZuSlideBase* slide);
  ZuReal GetStartPosition() const { return m_startPosition; }
  ZuErrorCodeEnum SetStartPosition(const ZuReal& seconds);
  ZuReal GetDuration() const { return m_duration; }
  ZuErrorCodeEnum SetDuration(const ZuReal& seconds);

  // Appends this record's section to the parameter dump; 1 when the dump cannot be made.
  ZuErrorCodeEnum GenerateINI();

 private:
  ZuSlideBase* m_fmrSlide = nullptr;
  ZuReal m_startPosition;
  ZuReal m_duration;
};
