#include "host/app/ZuModifySlideDurationCommand.h"

#include <algorithm>

#include "host/app/IZuCommandEventSink.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideTimingUtils.h"

ZuModifySlideDurationCommand::ZuModifySlideDurationCommand()
    : ZuCCommand(kZuCmdModifySlideDuration), m_data(new ZuModifySlideDurationCommandData()) {
  m_name = "kZuModifySlideDurationCommand";
  m_commandData = m_data.get();
}

ZuModifySlideDurationCommand::ZuModifySlideDurationCommand(
    const ZuModifySlideDurationCommand& other)
    : ZuCCommand(other),
      m_data(static_cast<ZuModifySlideDurationCommandData*>(other.m_data->Clone())),
      m_changes(other.m_changes) {
  m_commandData = m_data.get();
}

ZuErrorCodeEnum ZuModifySlideDurationCommand::Execute() {
  const double requested = m_data->GetDuration().GetTime();
  if (m_data->GetSlides().empty() || !(requested >= 0.0)) return kZuFailure;
  std::vector<Change> changes;
  for (ZuSlideBase* slide : m_data->GetSlides()) {
    if (slide == nullptr) return kZuFailure;
    double chosen = requested;
    if (m_data->GetDoConstraintChecking()) {
      chosen = std::max(
          chosen,
          ZuSlideTimingUtils::GetMinimumSlideDurationRequired(slide, 0).GetTime().GetValue());
    }
    changes.push_back(
        {slide->GetProject(), slide->GetObjectUID(), slide->GetDuration().GetTime(), chosen});
  }
  m_changes = std::move(changes);
  const ZuErrorCodeEnum result = Apply(true);
  SetState(result == kZuSuccess ? kZuCommandExecuted : kZuCommandFailed);
  return result;
}

ZuErrorCodeEnum ZuModifySlideDurationCommand::Undo() {
  if (GetState() == kZuCommandNew) return kZuFailure;
  const ZuErrorCodeEnum result = Apply(false);
  if (result == kZuSuccess) SetState(kZuCommandUndone);
  return result;
}

ZuErrorCodeEnum ZuModifySlideDurationCommand::Redo() {
  if (GetState() == kZuCommandNew) return kZuFailure;
  const ZuErrorCodeEnum result = Apply(true);
  if (result == kZuSuccess) SetState(kZuCommandRedone);
  return result;
}

ZuErrorCodeEnum ZuModifySlideDurationCommand::Apply(bool forward) {
  for (const Change& change : m_changes) {
    if (change.project == nullptr || change.project->FindSlide(change.slideUid) == nullptr) {
      return kZuFailure;
    }
  }
  for (const Change& change : m_changes) {
    const double seconds = forward ? change.after : change.before;
    change.project->FindSlide(change.slideUid)
        ->SetDuration(ZuDuration(seconds, kZuDurationSeconds));
  }
  return kZuSuccess;
}
