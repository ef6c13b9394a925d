#include "commands/ZuFMREditDeleteFramesCommand.h"

#include <cmath>
#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFileUtil.h"

ZuFMREditDeleteFramesCommand::ZuFMREditDeleteFramesCommand()
    : ZuFMREditCommandBase(888, "kZuFMREditDeleteFramesCommand", "Delete", kRedoEventCode) {}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::Edit() {
  ZuSlideBase* slide = m_data->GetFMRSlide();
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide);
  if (resource == nullptr) {
    return kZuFailure;
  }
  m_data->GenerateINI();
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  std::unique_ptr<ZuFMRTavoFile> movie = LoadMovie(resource);
  if (!movie) {
    return kZuErrorNotFMR;
  }
  const ZuErrorCodeEnum backedUp = ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);
  if (backedUp != kZuSuccess) {
    return backedUp;
  }
  Report(33);

  const double rate = movie->GetFrameRate();
  const int first = static_cast<int>(std::floor(rate * m_data->GetStartPosition() + 0.5));
  const int count = static_cast<int>(std::floor(rate * m_data->GetDuration() + 0.5));
  const ZuErrorCodeEnum removed = movie->RemoveFrames(first, count, output.GetPathString());
  if (removed != kZuSuccess) {
    return removed;
  }
  SetNewDuration(*movie);
  movie.reset();
  Report(66);

  const ZuErrorCodeEnum replaced = ReplaceMovie(resource, output);
  if (replaced != kZuSuccess) {
    return replaced;
  }
  Report(100);
  return kZuSuccess;
}
