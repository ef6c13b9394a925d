#include "commands/ZuFMREditSplitCommand.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuFrameTime.h"

ZuFMREditSplitCommand::ZuFMREditSplitCommand()
    : ZuFMREditCommandBase(kZuFMREditSplitCommandId, "kZuFMREditSplitCommand", "Split",
                           kRedoEventCode) {}

ZuFMREditSplitCommand::ZuFMREditSplitCommand(const ZuFMREditSplitCommand& other)
    : ZuFMREditCommandBase(other),
      m_insertedSlideCommand(other.m_insertedSlideCommand != nullptr
                                 ? other.m_insertedSlideCommand->Clone()
                                 : nullptr) {}

ZuFMREditSplitCommand::~ZuFMREditSplitCommand() {
  delete m_insertedSlideCommand;
}

ZuErrorCodeEnum ZuFMREditSplitCommand::Edit() {
  ZuSlideBase* slide = m_data->GetSourceFMRSlide();
  ZuAnimationResource* resource = nullptr;
  std::unique_ptr<ZuFMRTavoFile> movie;
  const ZuErrorCodeEnum opened = OpenSlideMovie(slide, resource, movie);
  if (opened != kZuSuccess) {
    return opened;
  }
  Report(33);

  const ZuFile firstPart = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  ZuFile secondPart = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  const unsigned rate = movie->GetFrameRate();
  const int cutFrame = ZuFrameTime::SecondsToFrames(m_data->GetSplitAt(), rate);
  const ZuErrorCodeEnum split =
      movie->SplitSWF(cutFrame, firstPart.GetPathString(), secondPart.GetPathString());
  if (split != kZuSuccess) {
    return split;
  }
  Report(66);

  SetNewDuration(*movie);  // the movie now holds the first part
  // Named before the replacement renames the resource.
  const ZuString secondName = ZuFMREditUtils::GetNewNameForAnimation(resource, 2);
  const ZuErrorCodeEnum replaced = ReplaceMovie(resource, firstPart);
  if (replaced != kZuSuccess) {
    return replaced;
  }

  const ZuErrorCodeEnum added = ZuFMREditUtils::FireInsertFMRSlideCommand(
      slide->GetProject(), slide->GetIndex(), secondPart, secondName, 32, &m_insertedSlideCommand);
  if (added != kZuSuccess) {
    return added;
  }
  Report(100);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditSplitCommand::Undo() {
  if (m_insertedSlideCommand == nullptr) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum undone = m_insertedSlideCommand->Undo();
  if (undone != kZuSuccess) {
    return undone;
  }
  m_insertedSlideCommand->UndoNotify();
  return ZuFMREditCommandBase::Undo();
}

// The backup finds the slides sharing the first part by the indices they had before the
// split, so the first part and its durations are applied while the new slide is still
// away; it comes back after them, as Execute added it last.
ZuErrorCodeEnum ZuFMREditSplitCommand::Redo() {
  if (m_insertedSlideCommand == nullptr) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum applied = ZuFMREditCommandBase::Redo();
  const ZuErrorCodeEnum redone = m_insertedSlideCommand->Redo();
  if (redone != kZuSuccess) {
    return redone;
  }
  m_insertedSlideCommand->RedoNotify();
  return applied;
}
