#include "commands/ZuFMREditDeleteFramesCommand.h"

#include <cmath>
#include <memory>

#include "commands/ZuFMREditDeleteFramesCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuUserEventUtil.h"

ZuFMREditDeleteFramesCommand::ZuFMREditDeleteFramesCommand()
    : ZuCCommand(888), m_data(new ZuFMREditDeleteFramesCommandData()) {
  m_name = ZuString("kZuFMREditDeleteFramesCommand");
  m_commandData = m_data;
  m_flags = 0;
  m_eventSink = QuerySession()->GetCommandEventSink(0);
}

ZuFMREditDeleteFramesCommand::~ZuFMREditDeleteFramesCommand() {
  delete m_data;
}

IZuCommand* ZuFMREditDeleteFramesCommand::Clone() const {
  auto* copy = new ZuFMREditDeleteFramesCommand();
  delete copy->m_data;
  copy->m_data = static_cast<ZuFMREditDeleteFramesCommandData*>(m_data->Clone());
  copy->m_commandData = copy->m_data;
  copy->m_name = m_name;
  copy->m_flags = m_flags;
  copy->m_eventSink = m_eventSink;
  copy->m_backup = m_backup;
  return copy;
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::Execute() {
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Delete", "");
  Report(5);
  ZuSlideBase* slide = m_data->GetFMRSlide();
  if (slide == nullptr) return kZuFailure;
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide);
  if (resource == nullptr) return kZuFailure;
  try {
    return EditMovie(slide, resource);
  } catch (...) {
    Report(100);
    return kZuFailure;
  }
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::EditMovie(ZuSlideBase* slide,
                                                        ZuAnimationResource* resource) {
  m_data->GenerateINI();
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
  auto movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  if (!movie->IsValidFMRSWF()) return kZuErrorNotFMR;
  const ZuErrorCodeEnum backedUp = ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);
  if (backedUp != kZuSuccess) return backedUp;
  Report(33);

  const double rate = movie->GetFrameRate();
  const int first = static_cast<int>(std::floor(rate * m_data->GetStartPosition() + 0.5));
  const int count = static_cast<int>(std::floor(rate * m_data->GetDuration() + 0.5));
  const ZuErrorCodeEnum removed = movie->RemoveFrames(first, count, output.GetPathString());
  if (removed != kZuSuccess) return removed;
  m_backup.newDuration =
      static_cast<double>(movie->GetFrameCount()) / static_cast<double>(movie->GetFrameRate());
  movie.reset();
  stream.reset();
  Report(66);

  const ZuErrorCodeEnum replaced =
      ZuFMREditUtils::FireReplaceAnimResItem(resource, output, m_backup, 1);
  if (replaced != kZuSuccess) return replaced;
  ZuFMREditUtils::FireModifySlideTimeCommand(m_backup, false);
  Report(100);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::Undo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

ZuErrorCodeEnum ZuFMREditDeleteFramesCommand::Redo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
}

void ZuFMREditDeleteFramesCommand::RedoNotify() {
  PostEvent(kRedoEventCode);
}

void ZuFMREditDeleteFramesCommand::Report(int percent) const {
  if (m_data->GetProgressEvent() != nullptr) m_data->GetProgressEvent()->OnProgress(percent);
}
