#pragma once

#include "host/app/ZuCCommand.h"

// A command that only counts what is done to it, for the records and helpers that drive a
// command they were given. Its clones share the counters.
struct ZuCountingCommandCounters {
  int clones = 0;
  int deletes = 0;
  int undos = 0;
  int redos = 0;
  int undoNotifies = 0;
  int redoNotifies = 0;
  ZuErrorCodeEnum undoResult = kZuSuccess;
  ZuErrorCodeEnum redoResult = kZuSuccess;
};

class ZuCountingCommand : public ZuCCommand {
 public:
  explicit ZuCountingCommand(ZuCountingCommandCounters* counters)
      : ZuCCommand(7000), m_counters(counters) {}
  ~ZuCountingCommand() override { ++m_counters->deletes; }
  IZuCommand* Clone() const override {
    ++m_counters->clones;
    return new ZuCountingCommand(m_counters);
  }
  ZuErrorCodeEnum Execute() override { return kZuSuccess; }
  ZuErrorCodeEnum Undo() override {
    ++m_counters->undos;
    return m_counters->undoResult;
  }
  ZuErrorCodeEnum Redo() override {
    ++m_counters->redos;
    return m_counters->redoResult;
  }
  void UndoNotify() override { ++m_counters->undoNotifies; }
  void RedoNotify() override { ++m_counters->redoNotifies; }

 private:
  ZuCountingCommandCounters* m_counters;
};
