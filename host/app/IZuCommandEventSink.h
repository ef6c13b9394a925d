#pragma once

#include <cstdint>

class IZuCommand;

// Receives the events that commands post: executed, undone, redone, and the editor's own
// codes. The command is only borrowed for the call.
class IZuCommandEventSink {
 public:
  virtual ~IZuCommandEventSink() = default;
  virtual void PostCommandEvent(intptr_t context, int32_t eventCode, IZuCommand* command) = 0;
};

// Event codes the host's framework posts itself.
enum ZuHostCommandEvent : int32_t {
  kZuEventExecuted = 1,
  kZuEventUndone = 2,
  kZuEventRedone = 3,
};
