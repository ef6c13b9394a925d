#include "commands/ZuFMREditDeleteFramesCommandData.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"

IZuCommandData* ZuFMREditDeleteFramesCommandData::Clone() const {
  return new ZuFMREditDeleteFramesCommandData(*this);
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommandData::SetFMRSlide(ZuSlideBase* slide) {
  m_fmrSlide = slide;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditDeleteFramesCommandData::SetStartPosition(const ZuReal& seconds) {
  m_startPosition = seconds;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditDeleteFramesCommandData::SetDuration(const ZuReal& seconds) {
  m_duration = seconds;
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommandData::GenerateINI() {
  std::unique_ptr<std::fstream> stream = OpenINISection("DEL_FRAMES", m_fmrSlide);
  if (!stream) {
    return kZuFailure;
  }
  ZuFMREditUtils::AddZuRealINIEntry(*stream, "START_POS", m_startPosition);
  ZuFMREditUtils::AddZuRealINIEntry(*stream, "DURATION", m_duration);
  ZuFMREditUtils::CloseINIStream(*stream);
  return kZuSuccess;
}
