#pragma once

#include <cstdint>

#include "host/util/ZuErrorCode.h"
#include "host/util/ZuString.h"

class IZuCommandData;

// How a command takes part in the undo history.
enum ZuUndoability : int32_t {
  kZuUndoable = 0,      // a top-level run is pushed onto the history (the default)
  kZuDrivenByOwner = 1  // another command keeps it and drives its Undo and Redo; never pushed
};

// Where a command stands in its life.
enum ZuCommandState : int32_t {
  kZuCommandNew = 0,
  kZuCommandExecuted = 1,
  kZuCommandUndone = 2,
  kZuCommandRedone = 3,
  kZuCommandFailed = 4
};

// An undoable operation on the project. Commands are made by the registry's factories
// (ZuCmdUtils::CreateCommand), run by ZuCmdUtils::ExecuteCommand and kept, as clones, by
// the undo history. Whoever holds a command pointer from CreateCommand or Clone owns it.
// The operations are declared in the order the host's command table lists them.
class IZuCommand {
 public:
  virtual ~IZuCommand() = default;
  // A new command equal to this one, data and undo state included, owned by the caller. It
  // keeps working after this one is deleted.
  virtual IZuCommand* Clone() const = 0;
  virtual int32_t GetID() const = 0;
  virtual ZuString GetName() const = 0;
  virtual int32_t GetUndoability() const = 0;
  virtual void SetUndoability(int32_t undoability) = 0;
  // The command's own data record (still owned by the command), or null.
  virtual IZuCommandData* GetCommandData() = 0;
  virtual void SetCommandData(IZuCommandData* data) = 0;
  virtual ZuErrorCodeEnum Execute() = 0;
  virtual ZuErrorCodeEnum Undo() = 0;
  virtual ZuErrorCodeEnum Redo() = 0;
  // Tell the command event sink that the command was redone / undone.
  virtual void RedoNotify() = 0;
  virtual void UndoNotify() = 0;
  // Checks run after Execute, Undo and Redo; true when the project is as it should be.
  virtual bool PostDoCheck() = 0;
  virtual bool PostUndoCheck() = 0;
  virtual bool PostRedoCheck() = 0;
  virtual int32_t GetState() const = 0;
  virtual void SetState(int32_t state) = 0;
  // Folds a later command into this one; true when it did. Host commands never merge.
  virtual bool MergeCommand(IZuCommand* later) = 0;
};
