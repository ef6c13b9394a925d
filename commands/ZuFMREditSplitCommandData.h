#pragma once

#include "commands/ZuFMREditCommandDataBase.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuReal.h"

class ZuSlideBase;

// Parameters of the split command (890): the slide to split and the time of the cut. The two
// file slots are spare places for the halves; a copy starts with them empty. Points to the
// slide without owning it.
class ZuFMREditSplitCommandData : public ZuFMREditCommandDataBase {
 public:
  ZuFMREditSplitCommandData() = default;
  ZuFMREditSplitCommandData(const ZuFMREditSplitCommandData& other);
  ZuFMREditSplitCommandData& operator=(const ZuFMREditSplitCommandData&) = delete;
  ~ZuFMREditSplitCommandData() override = default;

  IZuCommandData* Clone() const override;

  ZuSlideBase* GetSourceFMRSlide() const { return m_sourceFMRSlide; }
  ZuErrorCodeEnum SetSourceFMRSlide(ZuSlideBase* slide);
  ZuReal GetSplitAt() const { return m_splitAt; }
  ZuErrorCodeEnum SetSplitAt(const ZuReal& seconds);
  ZuFile GetNewlyCreatedFile_Part1() const { return m_newlyCreatedFilePart1; }
  ZuErrorCodeEnum SetNewlyCreatedFile_Part1(const ZuFile& file);
  ZuFile GetNewlyCreatedFile_Part2() const { return m_newlyCreatedFilePart2; }
  ZuErrorCodeEnum SetNewlyCreatedFile_Part2(const ZuFile& file);

  // Appends this record's section to the parameter dump; 1 when the dump cannot be made.
  ZuErrorCodeEnum GenerateINI();

 private:
  ZuSlideBase* m_sourceFMRSlide = nullptr;
  ZuReal m_splitAt;
  ZuFile m_newlyCreatedFilePart1;
  ZuFile m_newlyCreatedFilePart2;
};
