#include "commands/ZuFMREditInsertCommandData.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "host/app/ZuAnimationResource.h"

IZuCommandData* ZuFMREditInsertCommandData::Clone() const {
  return new ZuFMREditInsertCommandData(*this);
}

ZuErrorCodeEnum ZuFMREditInsertCommandData::SetSourceFMRSlide(ZuSlideBase* slide) {
  m_sourceFMRSlide = slide;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditInsertCommandData::SetInsertAt(const ZuReal& seconds) {
  m_insertAt = seconds;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditInsertCommandData::SetFMRAnimationToInsert(
    ZuAnimationResource* animation) {
  m_fmrAnimationToInsert = animation;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditInsertCommandData::SetFileToInsert(const ZuString& path) {
  m_fileToInsert = path;
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditInsertCommandData::GenerateINI() {
  std::unique_ptr<std::fstream> stream = OpenINISection("INSERT_SWF", m_sourceFMRSlide);
  if (!stream) {
    return kZuFailure;
  }
  ZuFMREditUtils::AddZuRealINIEntry(*stream, "START_POS", m_insertAt);
  if (m_fmrAnimationToInsert != nullptr) {
    ZuFMREditUtils::AddIntINIEntry(*stream, "ANIMITEM_UID", m_fmrAnimationToInsert->GetObjectUID());
  }
  if (!m_fileToInsert.empty()) {
    ZuFMREditUtils::AddZuStringINIEntry(*stream, "FILETO_INSERT", m_fileToInsert);
  }
  ZuFMREditUtils::CloseINIStream(*stream);
  return kZuSuccess;
}
