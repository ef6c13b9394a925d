#include "commands/ZuFMREditSplitCommand.h"

#include <cmath>
#include <memory>

#include "commands/ZuFMREditSplitCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuUserEventUtil.h"

ZuFMREditSplitCommand::ZuFMREditSplitCommand()
    : ZuCCommand(890), m_data(new ZuFMREditSplitCommandData()) {
  m_name = ZuString("kZuFMREditSplitCommand");
  m_commandData = m_data;
  m_flags = 0;
  m_eventSink = QuerySession()->GetCommandEventSink(0);
}

ZuFMREditSplitCommand::~ZuFMREditSplitCommand() {
  delete m_data;
  delete m_insertedSlideCommand;
  m_insertedSlideCommand = nullptr;
}

IZuCommand* ZuFMREditSplitCommand::Clone() const {
  auto* copy = new ZuFMREditSplitCommand();
  delete copy->m_data;
  copy->m_data = static_cast<ZuFMREditSplitCommandData*>(m_data->Clone());
  copy->m_commandData = copy->m_data;
  copy->m_name = m_name;
  copy->m_flags = m_flags;
  copy->m_eventSink = m_eventSink;
  copy->m_backup = m_backup;
  copy->m_insertedSlideCommand =
      m_insertedSlideCommand != nullptr ? m_insertedSlideCommand->Clone() : nullptr;
  return copy;
}

ZuErrorCodeEnum ZuFMREditSplitCommand::Execute() {
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Split", "");
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

ZuErrorCodeEnum ZuFMREditSplitCommand::EditMovie(ZuSlideBase* slide,
                                                 ZuAnimationResource* resource) {
  m_data->GenerateINI();
  std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
  auto movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  if (!movie->IsValidFMRSWF()) return kZuErrorNotFMR;
  Report(33);
  ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);

  const ZuFile firstPart = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  ZuFile secondPart = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  const double rate = movie->GetFrameRate();
  const int cutFrame = static_cast<int>(std::floor(rate * m_data->GetSplitAt() + 0.5));
  const ZuErrorCodeEnum split =
      movie->SplitSWF(cutFrame, firstPart.GetPathString(), secondPart.GetPathString());
  if (split != kZuSuccess) return split;
  Report(66);

  // The movie now holds the first part.
  m_backup.newDuration =
      static_cast<double>(movie->GetFrameCount()) / static_cast<double>(movie->GetFrameRate());
  // Named before the replacement renames the resource.
  const ZuString secondName = ZuFMREditUtils::GetNewNameForAnimation(resource, 2);
  const ZuErrorCodeEnum replaced =
      ZuFMREditUtils::FireReplaceAnimResItem(resource, firstPart, m_backup, 1);
  if (replaced != kZuSuccess) return replaced;
  ZuFMREditUtils::FireModifySlideTimeCommand(m_backup, false);

  const ZuErrorCodeEnum added = ZuFMREditUtils::FireInsertFMRSlideCommand(
      slide->GetProject(), slide->GetIndex(), secondPart, secondName, 32, &m_insertedSlideCommand);
  if (added != kZuSuccess) return added;
  Report(100);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditSplitCommand::Undo() {
  if (m_insertedSlideCommand == nullptr) return kZuFailure;
  const ZuErrorCodeEnum undone = m_insertedSlideCommand->Undo();
  if (undone != kZuSuccess) return undone;
  m_insertedSlideCommand->UndoNotify();
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

// The backup finds the slides sharing the first part by the indices they had before the
// split, so the first part and its durations are applied while the new slide is still
// away; it comes back after them, as Execute added it last.
ZuErrorCodeEnum ZuFMREditSplitCommand::Redo() {
  if (m_insertedSlideCommand == nullptr) return kZuFailure;
  const ZuErrorCodeEnum applied = ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
  const ZuErrorCodeEnum redone = m_insertedSlideCommand->Redo();
  if (redone != kZuSuccess) return redone;
  m_insertedSlideCommand->RedoNotify();
  return applied;
}

void ZuFMREditSplitCommand::RedoNotify() {
  PostEvent(kRedoEventCode);
}

void ZuFMREditSplitCommand::Report(int percent) const {
  if (m_data->GetProgressEvent() != nullptr) m_data->GetProgressEvent()->OnProgress(percent);
}
