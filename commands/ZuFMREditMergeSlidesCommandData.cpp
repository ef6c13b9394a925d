#include "commands/ZuFMREditMergeSlidesCommandData.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "host/app/ZuSlideBase.h"

// The merged file belongs to one run of the command, so a copy starts without it.
ZuFMREditMergeSlidesCommandData::ZuFMREditMergeSlidesCommandData(
    const ZuFMREditMergeSlidesCommandData& other)
    : ZuFMREditCommandDataBase(other), m_slidesToMerge(other.m_slidesToMerge) {}

IZuCommandData* ZuFMREditMergeSlidesCommandData::Clone() const {
  return new ZuFMREditMergeSlidesCommandData(*this);
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommandData::AddSlideToMerge(ZuSlideBase* slide) {
  m_slidesToMerge.push_back(slide);
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditMergeSlidesCommandData::SetNewlyCreatedFile(const ZuFile& file) {
  m_newlyCreatedFile = file;
  return kZuSuccess;
}

// SLIDE_NR names the first slide; SLIDE_NR1, SLIDE_NR2, ... then list every slide in order.
ZuErrorCodeEnum ZuFMREditMergeSlidesCommandData::GenerateINI() {
  std::unique_ptr<std::fstream> stream(ZuFMREditUtils::CreateINIStream());
  if (!stream) {
    return kZuFailure;
  }
  if (m_slidesToMerge.empty()) {
    return kZuFailure;
  }
  ZuFMREditUtils::AddZuStringINIEntry(*stream, "ACTION", "MERGE_SWF");
  ZuFMREditUtils::AddCurrentZuFileNameINIEntry(*stream);
  if (m_slidesToMerge.front() != nullptr) {
    ZuFMREditUtils::AddSlideNrINIEntry(*stream, m_slidesToMerge.front());
  }
  int k = 1;
  for (ZuSlideBase* slide : m_slidesToMerge) {
    ZuString key("SLIDE_NR");
    key.AppendNumber(k++);
    ZuFMREditUtils::AddIntINIEntry(*stream, key, slide != nullptr ? slide->GetIndex() : -1);
  }
  ZuFMREditUtils::CloseINIStream(*stream);
  return kZuSuccess;
}
