#pragma once

#include <string>

#include "host/app/IZuSession.h"
#include "host/app/ZuCommandEventLog.h"
#include "host/app/ZuCommandHistory.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuProjectHolder.h"

// The session behind QuerySession(). The host's own commands (116, 439, 441, 575) are
// registered when it is made. It also counts how deep command execution is nested, so that
// only top-level commands are committed and pushed onto the history.
class ZuSession : public IZuSession {
 public:
  ZuSession();
  ~ZuSession() override;

  ZuProjectHolder* GetProjectHolder(int32_t create, int32_t reserved) override;
  ZuCommandRegistry* GetCommandRegistry(int32_t reserved) override;
  IZuCommandEventSink* GetCommandEventSink(int32_t reserved) override;
  intptr_t GetEventContext(int32_t reserved) override;
  ZuCommandHistory* GetCommandHistory() override { return &m_history; }

  ZuCommandEventLog& GetEventLog() { return m_events; }
  // Loads the component libraries (libzufmredit.so) and registers their commands; once per
  // process. 1 with the reason in error when a library cannot be loaded.
  ZuErrorCodeEnum LoadComponents(std::string* error);
  // Nesting of running commands: Enter returns the depth including the new one.
  int EnterCommand() { return ++m_depth; }
  void LeaveCommand() { --m_depth; }
  int GetDepth() const { return m_depth; }

 private:
  ZuProjectHolder m_projects;
  ZuCommandRegistry m_registry;
  ZuCommandEventLog m_events;
  ZuCommandHistory m_history;
  int m_depth = 0;
};

// The process's session as its concrete class.
ZuSession* GetZuSession();
