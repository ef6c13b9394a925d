#include "commands/ZuFMREditSplitCommandData.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"

// The file slots belong to one run of the command, so a copy starts without them.
ZuFMREditSplitCommandData::ZuFMREditSplitCommandData(const ZuFMREditSplitCommandData& other)
    : IZuCommandData(other),
      m_sourceFMRSlide(other.m_sourceFMRSlide),
      m_splitAt(other.m_splitAt),
      m_progressEvent(other.m_progressEvent) {}

IZuCommandData* ZuFMREditSplitCommandData::Clone() const {
  return new ZuFMREditSplitCommandData(*this);
}

ZuErrorCodeEnum ZuFMREditSplitCommandData::SetSourceFMRSlide(ZuSlideBase* slide) {
  m_sourceFMRSlide = slide;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditSplitCommandData::SetSplitAt(const ZuReal& seconds) {
  m_splitAt = seconds;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditSplitCommandData::SetNewlyCreatedFile_Part1(const ZuFile& file) {
  m_newlyCreatedFilePart1 = file;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditSplitCommandData::SetNewlyCreatedFile_Part2(const ZuFile& file) {
  m_newlyCreatedFilePart2 = file;
  return kZuSuccess;
}
ZuErrorCodeEnum ZuFMREditSplitCommandData::SetProgressEvent(IZuFMREditProgressEvent* event) {
  m_progressEvent = event;
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditSplitCommandData::GenerateINI() {
  std::unique_ptr<std::fstream> stream(ZuFMREditUtils::CreateINIStream());
  if (!stream) return kZuFailure;
  ZuFMREditUtils::AddZuStringINIEntry(*stream, "ACTION", "SPLIT_SWF");
  ZuFMREditUtils::AddCurrentZuFileNameINIEntry(*stream);
  if (m_sourceFMRSlide != nullptr) ZuFMREditUtils::AddSlideNrINIEntry(*stream, m_sourceFMRSlide);
  ZuFMREditUtils::AddZuRealINIEntry(*stream, "SPLIT_AT", m_splitAt);
  ZuFMREditUtils::CloseINIStream(*stream);
  return kZuSuccess;
}
