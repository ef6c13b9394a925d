#pragma once

#include <cstdint>

#include "host/util/ZuErrorCode.h"

class IZuCommand;
class ZuDBBase;

// Making and running commands through the session.
class ZuCmdUtils {
 public:
  // A new command from the registry's factory for id, owned by the caller; null when none.
  static IZuCommand* CreateCommand(int32_t id);

  // Runs command->Execute() and returns its result. The caller keeps the command.
  //
  // A top-level run (not from inside another command's Execute, Undo or Redo) is one
  // transaction of the current project: committed as a new project state on success,
  // rolled back, with the project put back as it was, on failure. A successful top-level run
  // of a command whose undoability is kZuUndoable pushes a Clone of it onto the history.
  // notify: 1 posts kZuEventExecuted after success. reserved: 0. database: reserved, null.
  static ZuErrorCodeEnum ExecuteCommand(IZuCommand* command, int32_t notify, int32_t reserved,
                                        ZuDBBase* database);
};
