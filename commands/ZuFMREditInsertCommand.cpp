#include "commands/ZuFMREditInsertCommand.h"

#include <memory>

#include "commands/ZuFMREditInsertCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuUserEventUtil.h"

ZuFMREditInsertCommand::ZuFMREditInsertCommand()
    : ZuCCommand(889), m_data(new ZuFMREditInsertCommandData()) {
  m_name = ZuString("kZuFMREditInsertCommand");
  m_commandData = m_data;
  m_flags = 0;
  m_eventSink = QuerySession()->GetCommandEventSink(0);
}

ZuFMREditInsertCommand::~ZuFMREditInsertCommand() {
  delete m_data;
}

IZuCommand* ZuFMREditInsertCommand::Clone() const {
  auto* copy = new ZuFMREditInsertCommand();
  delete copy->m_data;
  copy->m_data = static_cast<ZuFMREditInsertCommandData*>(m_data->Clone());
  copy->m_commandData = copy->m_data;
  copy->m_name = m_name;
  copy->m_flags = m_flags;
  copy->m_eventSink = m_eventSink;
  copy->m_backup = m_backup;
  return copy;
}

ZuErrorCodeEnum ZuFMREditInsertCommand::Execute() {
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Insert", "");
  Report(5);
  ZuSlideBase* slide = m_data->GetSourceFMRSlide();
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

ZuErrorCodeEnum ZuFMREditInsertCommand::EditMovie(ZuSlideBase* slide,
                                                  ZuAnimationResource* resource) {
  m_data->GenerateINI();
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
  auto movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  if (!movie->IsValidFMRSWF()) return kZuErrorNotFMR;
  Report(33);
  const ZuErrorCodeEnum backedUp = ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);
  if (backedUp != kZuSuccess) return backedUp;

  // The resource to insert wins over the file; the file form throws when it cannot be read.
  const ZuReal insertAt = m_data->GetInsertAt();
  ZuErrorCodeEnum inserted = kZuFailure;
  if (ZuAnimationResource* other = m_data->GetFMRAnimationToInsert()) {
    std::unique_ptr<IZuStream> otherStream(other->CreateReadStream(0));
    inserted = movie->InsertFMRSWFFile(otherStream.get(), insertAt, output.GetPathString());
  } else {
    inserted = movie->InsertFMRSWFFile(m_data->GetFileToInsert(), insertAt, output.GetPathString());
  }
  if (inserted == kZuErrorFrameLimit || inserted == kZuErrorNotFMR ||
      inserted == kZuErrorDimensionMismatch) {
    return inserted;
  }
  if (inserted != kZuSuccess) return kZuFailure;

  m_backup.newDuration =
      static_cast<double>(movie->GetFrameCount()) / static_cast<double>(movie->GetFrameRate());
  movie.reset();
  stream.reset();
  if (!output.Exists()) return kZuFailure;
  Report(66);
  const ZuErrorCodeEnum replaced =
      ZuFMREditUtils::FireReplaceAnimResItem(resource, output, m_backup, 1);
  if (replaced != kZuSuccess) return replaced;
  ZuFMREditUtils::FireModifySlideTimeCommand(m_backup, false);
  Report(100);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditInsertCommand::Undo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

ZuErrorCodeEnum ZuFMREditInsertCommand::Redo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
}

void ZuFMREditInsertCommand::RedoNotify() {
  PostEvent(kRedoEventCode);
}

void ZuFMREditInsertCommand::Report(int percent) const {
  if (m_data->GetProgressEvent() != nullptr) m_data->GetProgressEvent()->OnProgress(percent);
}
