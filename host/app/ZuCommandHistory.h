#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/util/ZuErrorCode.h"

class IZuCommand;
class ZuProject;

// The session's linear undo history. Each entry owns a clone of a command that ran at the top
// level, with the project states (ids in the project file) before and after it.
//
// Undo runs the newest entry's Undo and UndoNotify, Redo its Redo and RedoNotify, each as
// one transaction of the current project, which then stands at the entry's other state.
// When the history holds no entry for the project's current state (a project opened in a
// new run, or changed behind the history's back), Undo and Redo go back or forward along
// the project file's own list of states instead; both roads end in the same state.
class ZuCommandHistory {
 public:
  ZuCommandHistory();
  ~ZuCommandHistory();

  // Takes the clone. Drops every entry that could have been redone.
  void Push(std::unique_ptr<IZuCommand> clone, int64_t stateBefore, int64_t stateAfter);
  ZuErrorCodeEnum Undo();
  ZuErrorCodeEnum Redo();
  void Clear();

  size_t GetUndoCount() const { return m_undo.size(); }
  size_t GetRedoCount() const { return m_redo.size(); }

 private:
  struct Entry {
    std::unique_ptr<IZuCommand> clone;
    int64_t stateBefore = 0;
    int64_t stateAfter = 0;
  };
  enum class Direction { kUndo, kRedo };

  ZuErrorCodeEnum Step(Direction direction);
  ZuErrorCodeEnum RunEntry(Entry& entry, Direction direction, ZuProject* project);
  static ZuErrorCodeEnum StepProjectFile(Direction direction, ZuProject* project);

  std::vector<Entry> m_undo;  // oldest first
  std::vector<Entry> m_redo;  // the next to redo last
};
