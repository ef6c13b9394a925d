#include "commands/ZuFMREditSplitCommandData.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"

// The file slots belong to one run of the command, so a copy starts without them.
ZuFMREditSplitCommandData::ZuFMREditSplitCommandData(const ZuFMREditSplitCommandData& other)
    : ZuFMREditCommandDataBase(other),
      m_sourceFMRSlide(other.m_sourceFMRSlide),
      m_splitAt(other.m_splitAt) {}

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

ZuErrorCodeEnum ZuFMREditSplitCommandData::GenerateINI() {
  std::unique_ptr<std::fstream> stream = OpenINISection("SPLIT_SWF", m_sourceFMRSlide);
  if (!stream) {
    return kZuFailure;
  }
  ZuFMREditUtils::AddZuRealINIEntry(*stream, "SPLIT_AT", m_splitAt);
  ZuFMREditUtils::CloseINIStream(*stream);
  return kZuSuccess;
}
