#pragma once

#include <cstdint>

class ZuProjectHolder;
class ZuCommandRegistry;
class IZuCommandEventSink;
class ZuCommandHistory;

// The application session: one per process, reached through QuerySession(). It owns the
// project holder, the command registry, the undo history and the event sink it hands out.
// The int arguments are reserved selectors; callers pass the values shown.
class IZuSession {
 public:
  virtual ~IZuSession() = default;
  virtual ZuProjectHolder* GetProjectHolder(int32_t create = 1, int32_t reserved = 0) = 0;
  virtual ZuCommandRegistry* GetCommandRegistry(int32_t reserved = 0) = 0;
  virtual IZuCommandEventSink* GetCommandEventSink(int32_t reserved = 0) = 0;
  // An opaque value handed back with every command event.
  virtual intptr_t GetEventContext(int32_t reserved = 0) = 0;
  virtual ZuCommandHistory* GetCommandHistory() = 0;
};

// The process's session; never null.
IZuSession* QuerySession();
