#include "commands/ZuFMREditDeleteFramesCommand.h"

#include <memory>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuFrameTime.h"

ZuFMREditDeleteFramesCommand::ZuFMREditDeleteFramesCommand()
    : ZuFMREditCommandBase(kZuFMREditDeleteFramesCommandId, "kZuFMREditDeleteFramesCommand",
                           "Delete", kRedoEventCode) {}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::Edit() {
  ZuAnimationResource* resource = nullptr;
  std::unique_ptr<ZuFMRTavoFile> movie;
  const ZuErrorCodeEnum opened = OpenSlideMovie(m_data->GetFMRSlide(), resource, movie);
  if (opened != kZuSuccess) {
    return opened;
  }
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
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
  return FinishWithMovie(resource, output);
}
