#include "host/app/ZuSetSlideMinimumCommand.h"

#include "host/app/IZuCommandEventSink.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuModifySlideDurationCommand.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"

ZuSetSlideMinimumCommand::ZuSetSlideMinimumCommand()
    : ZuCCommand(kZuCmdSetSlideMinimum), m_data(new ZuSetSlideMinimumCommandData()) {
  m_name = "kZuSetSlideMinimumCommand";
  m_commandData = m_data.get();
}

ZuSetSlideMinimumCommand::~ZuSetSlideMinimumCommand() = default;

ZuSetSlideMinimumCommand::ZuSetSlideMinimumCommand(const ZuSetSlideMinimumCommand& other)
    : ZuCCommand(other),
      m_data(static_cast<ZuSetSlideMinimumCommandData*>(other.m_data->Clone())),
      m_project(other.m_project),
      m_slideUid(other.m_slideUid),
      m_before(other.m_before),
      m_after(other.m_after),
      m_lengthen(other.m_lengthen ? other.m_lengthen->Clone() : nullptr) {
  m_commandData = m_data.get();
}

ZuErrorCodeEnum ZuSetSlideMinimumCommand::Execute() {
  ZuSlideBase* slide = m_data->GetSlide();
  const double seconds = m_data->GetMinimumDuration();
  if (slide == nullptr || !(seconds >= 0.0) || GetState() != kZuCommandNew) return kZuFailure;
  m_project = slide->GetProject();
  m_slideUid = slide->GetObjectUID();
  m_before = slide->GetMinimumDuration();
  m_after = seconds;
  slide->SetMinimumDuration(seconds);
  if (slide->GetDuration().GetTime() < seconds) {
    m_lengthen.reset(ZuCmdUtils::CreateCommand(kZuCmdModifySlideDuration));
    auto* data = m_lengthen
                     ? dynamic_cast<ZuModifySlideDurationCommandData*>(m_lengthen->GetCommandData())
                     : nullptr;
    if (data == nullptr) return kZuFailure;
    m_lengthen->SetUndoability(kZuDrivenByOwner);
    data->SetDuration(ZuDuration(seconds, kZuDurationSeconds));
    data->AddSlide(slide);
    data->SetDoConstraintChecking(true);
    const ZuErrorCodeEnum result = ZuCmdUtils::ExecuteCommand(m_lengthen.get(), 1, 0, nullptr);
    if (result != kZuSuccess) {
      slide->SetMinimumDuration(m_before);
      return result;
    }
  }
  SetState(kZuCommandExecuted);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuSetSlideMinimumCommand::SetMinimum(double seconds) {
  ZuSlideBase* slide = m_project != nullptr ? m_project->FindSlide(m_slideUid) : nullptr;
  if (slide == nullptr) return kZuFailure;
  slide->SetMinimumDuration(seconds);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuSetSlideMinimumCommand::Undo() {
  if (m_project == nullptr) return kZuFailure;
  if (m_lengthen && m_lengthen->Undo() == kZuSuccess) m_lengthen->UndoNotify();
  const ZuErrorCodeEnum result = SetMinimum(m_before);
  if (result == kZuSuccess) SetState(kZuCommandUndone);
  return result;
}

ZuErrorCodeEnum ZuSetSlideMinimumCommand::Redo() {
  if (m_project == nullptr) return kZuFailure;
  const ZuErrorCodeEnum result = SetMinimum(m_after);
  if (result != kZuSuccess) return result;
  if (m_lengthen && m_lengthen->Redo() == kZuSuccess) m_lengthen->RedoNotify();
  SetState(kZuCommandRedone);
  return kZuSuccess;
}
