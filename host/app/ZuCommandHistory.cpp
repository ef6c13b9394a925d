#include "host/app/ZuCommandHistory.h"

#include "host/app/IZuCommand.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"

ZuCommandHistory::ZuCommandHistory() = default;
ZuCommandHistory::~ZuCommandHistory() = default;

void ZuCommandHistory::Push(std::unique_ptr<IZuCommand> clone, int64_t stateBefore,
                            int64_t stateAfter) {
  m_redo.clear();
  m_undo.push_back({std::move(clone), stateBefore, stateAfter});
}

void ZuCommandHistory::Clear() {
  m_undo.clear();
  m_redo.clear();
}

ZuErrorCodeEnum ZuCommandHistory::Undo() {
  return Step(Direction::kUndo);
}
ZuErrorCodeEnum ZuCommandHistory::Redo() {
  return Step(Direction::kRedo);
}

ZuErrorCodeEnum ZuCommandHistory::Step(Direction direction) {
  ZuSession* session = GetZuSession();
  ZuProject* project = session->GetProjectHolder(1, 0)->GetCurrentProject();
  std::vector<Entry>& from = direction == Direction::kUndo ? m_undo : m_redo;
  std::vector<Entry>& to = direction == Direction::kUndo ? m_redo : m_undo;
  if (!from.empty()) {
    Entry& entry = from.back();
    const int64_t expected = direction == Direction::kUndo ? entry.stateAfter : entry.stateBefore;
    if (project == nullptr || project->GetStateId() == expected) {
      session->EnterCommand();
      const ZuErrorCodeEnum result = RunEntry(entry, direction, project);
      session->LeaveCommand();
      if (result == kZuSuccess) {
        to.push_back(std::move(entry));
        from.pop_back();
      }
      return result;
    }
    Clear();  // out of step with the project: the file's own states take over
  }
  if (project == nullptr) return kZuFailure;
  return StepProjectFile(direction, project);
}

ZuErrorCodeEnum ZuCommandHistory::RunEntry(Entry& entry, Direction direction, ZuProject* project) {
  if (project != nullptr && !project->BeginCommand(nullptr)) return kZuFailure;
  ZuErrorCodeEnum result = kZuFailure;
  try {
    if (direction == Direction::kUndo) {
      result = entry.clone->Undo();
      if (result == kZuSuccess) entry.clone->UndoNotify();
    } else {
      result = entry.clone->Redo();
      if (result == kZuSuccess) entry.clone->RedoNotify();
    }
  } catch (...) {
    result = kZuFailure;
  }
  if (project == nullptr) return result;
  if (result != kZuSuccess) {
    project->AbortCommand();
    return result;
  }
  const int64_t target = direction == Direction::kUndo ? entry.stateBefore : entry.stateAfter;
  return project->CommitAtState(target, nullptr) ? kZuSuccess : kZuFailure;
}

ZuErrorCodeEnum ZuCommandHistory::StepProjectFile(Direction direction, ZuProject* project) {
  const int64_t target =
      direction == Direction::kUndo ? project->GetPreviousStateId() : project->GetNextStateId();
  if (target <= 0) return kZuFailure;
  return project->RevertToState(target, nullptr) ? kZuSuccess : kZuFailure;
}
