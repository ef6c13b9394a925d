#include "host/app/ZuCmdUtils.h"

#include <memory>

#include "host/app/IZuCommand.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"

namespace {

ZuErrorCodeEnum RunExecute(IZuCommand* command) {
  try {
    return command->Execute();
  } catch (...) {
    return kZuFailure;
  }
}

// The top-level run: one transaction around Execute, then the history entry.
ZuErrorCodeEnum RunTopLevel(ZuSession* session, IZuCommand* command) {
  ZuProject* project = session->GetProjectHolder(1, 0)->GetCurrentProject();
  const int64_t stateBefore = project != nullptr ? project->GetStateId() : 0;
  if (project != nullptr && !project->BeginCommand(nullptr)) return kZuFailure;
  ZuErrorCodeEnum result = RunExecute(command);
  if (project != nullptr) {
    if (result != kZuSuccess) {
      project->AbortCommand();
    } else if (!project->CommitCommand(command->GetName().GetUTF8String(), nullptr)) {
      result = kZuFailure;
    }
  }
  if (result == kZuSuccess && command->GetUndoability() == kZuUndoable) {
    const int64_t stateAfter = project != nullptr ? project->GetStateId() : 0;
    session->GetCommandHistory()->Push(std::unique_ptr<IZuCommand>(command->Clone()), stateBefore,
                                       stateAfter);
  }
  return result;
}

}  // namespace

IZuCommand* ZuCmdUtils::CreateCommand(int32_t id) {
  return QuerySession()->GetCommandRegistry(0)->CreateCommand(id);
}

ZuErrorCodeEnum ZuCmdUtils::ExecuteCommand(IZuCommand* command, int32_t notify, int32_t,
                                           ZuDBBase*) {
  if (command == nullptr) return kZuFailure;
  ZuSession* session = GetZuSession();
  const bool topLevel = session->EnterCommand() == 1;
  const ZuErrorCodeEnum result = topLevel ? RunTopLevel(session, command) : RunExecute(command);
  session->LeaveCommand();
  if (result == kZuSuccess && notify == 1) {
    session->GetCommandEventSink(0)->PostCommandEvent(session->GetEventContext(0), kZuEventExecuted,
                                                      command);
  }
  return result;
}
