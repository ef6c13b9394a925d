#pragma once

#include <vector>

#include "commands/ZuFMREditCommandDataBase.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"

class ZuSlideBase;

// Parameters of the merge-slides command (901): the FMR slides to join, in order, and the
// file of the merged movie once the command made it (a copy starts with it empty). Points to
// the slides without owning them.
class ZuFMREditMergeSlidesCommandData : public ZuFMREditCommandDataBase {
 public:
  ZuFMREditMergeSlidesCommandData() = default;
  ZuFMREditMergeSlidesCommandData(const ZuFMREditMergeSlidesCommandData& other);
  ZuFMREditMergeSlidesCommandData& operator=(const ZuFMREditMergeSlidesCommandData&) = delete;
  ~ZuFMREditMergeSlidesCommandData() override = default;

  IZuCommandData* Clone() const override;

  const std::vector<ZuSlideBase*>& GetSlidesToMerge() const { return m_slidesToMerge; }
  // Appends the slide at the end of the list, unchecked; duplicates are kept.
  ZuErrorCodeEnum AddSlideToMerge(ZuSlideBase* slide);
  void ClearSlidesList() { m_slidesToMerge.clear(); }
  ZuFile GetNewlyCreatedFile() const { return m_newlyCreatedFile; }
  ZuErrorCodeEnum SetNewlyCreatedFile(const ZuFile& file);

  // Appends this record's section to the parameter dump; 1 when the dump cannot be made or
  // the slide list is empty (a bare section header is left then).
  ZuErrorCodeEnum GenerateINI();

 private:
  std::vector<ZuSlideBase*> m_slidesToMerge;
  ZuFile m_newlyCreatedFile;
};
