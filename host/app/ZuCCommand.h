#pragma once

#include "host/app/IZuCommand.h"
#include "host/app/IZuCommandEventSink.h"

// The base of every concrete command: keeps the id, name, undoability, state, the data
// pointer and the event sink. It never deletes the data; the derived command owns it.
// Derived commands supply Clone, Execute, Undo, Redo and RedoNotify.
class ZuCCommand : public IZuCommand {
 public:
  explicit ZuCCommand(int32_t id);
  ~ZuCCommand() override = default;

  int32_t GetID() const override { return m_id; }
  ZuString GetName() const override { return m_name; }
  int32_t GetUndoability() const override { return m_undoability; }
  void SetUndoability(int32_t undoability) override { m_undoability = undoability; }
  IZuCommandData* GetCommandData() override { return m_commandData; }
  void SetCommandData(IZuCommandData* data) override { m_commandData = data; }
  // Posts kZuEventUndone to the event sink, when there is one.
  void UndoNotify() override;
  bool PostDoCheck() override { return true; }
  bool PostUndoCheck() override { return true; }
  bool PostRedoCheck() override { return true; }
  int32_t GetState() const override { return m_state; }
  void SetState(int32_t state) override { m_state = state; }
  bool MergeCommand(IZuCommand*) override { return false; }

 protected:
  ZuCCommand(const ZuCCommand& other) = default;
  ZuCCommand& operator=(const ZuCCommand&) = delete;

  // Posts eventCode about this command to the sink, when there is one.
  void PostEvent(int32_t eventCode);

  ZuString m_name;
  IZuCommandData* m_commandData = nullptr;  // owned by the derived command
  int32_t m_flags = 0;                      // reserved command property; commands set 0
  IZuCommandEventSink* m_eventSink = nullptr;

 private:
  int32_t m_id;
  int32_t m_undoability = kZuUndoable;
  int32_t m_state = kZuCommandNew;
};
