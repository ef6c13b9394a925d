#include "commands/ZuFMREditDeleteFramesCommand.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuFrameTime.h"

ZuFMREditDeleteFramesCommand::ZuFMREditDeleteFramesCommand()
    : ZuFMREditCommandBase(kZuFMREditDeleteFramesCommandId, "kZuFMREditDeleteFramesCommand",
                           "Delete", kRedoEventCode) {}

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

  const unsigned rate = movie->GetFrameRate();
  const int first = ZuFrameTime::SecondsToFrames(m_data->GetStartPosition(), rate);
  const int count = ZuFrameTime::SecondsToFrames(m_data->GetDuration(), rate);
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
