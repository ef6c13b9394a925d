#pragma once

#include "commands/ZuFMREditCommandDataBase.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuReal.h"
#include "host/util/ZuString.h"

class ZuSlideBase;
class ZuAnimationResource;

// Parameters of the insert command (889): the slide whose movie receives another FMR movie,
// the time it goes in at, and the movie to insert: a project resource or, when that is null,
// a file. Points to slide and resource without owning them.
class ZuFMREditInsertCommandData : public ZuFMREditCommandDataBase {
 public:
  ZuFMREditInsertCommandData() = default;
  ZuFMREditInsertCommandData(const ZuFMREditInsertCommandData& other) = default;
  ZuFMREditInsertCommandData& operator=(const ZuFMREditInsertCommandData&) = default;
  ~ZuFMREditInsertCommandData() override = default;

  IZuCommandData* Clone() const override;

  ZuSlideBase* GetSourceFMRSlide() const { return m_sourceFMRSlide; }
  ZuErrorCodeEnum SetSourceFMRSlide(ZuSlideBase* slide);
  ZuReal GetInsertAt() const { return m_insertAt; }
  ZuErrorCodeEnum SetInsertAt(const ZuReal& seconds);
  ZuAnimationResource* GetFMRAnimationToInsert() const { return m_fmrAnimationToInsert; }
  ZuErrorCodeEnum SetFMRAnimationToInsert(ZuAnimationResource* animation);
  ZuString GetFileToInsert() const { return m_fileToInsert; }
  ZuErrorCodeEnum SetFileToInsert(const ZuString& path);

  // Appends this record's section to the parameter dump; 1 when the dump cannot be made.
  ZuErrorCodeEnum GenerateINI();

 private:
  ZuSlideBase* m_sourceFMRSlide = nullptr;
  ZuReal m_insertAt;
  ZuAnimationResource* m_fmrAnimationToInsert = nullptr;
  ZuString m_fileToInsert;
};
