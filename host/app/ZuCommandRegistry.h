#pragma once

#include <cstdint>
#include <map>

#include "host/util/ZuErrorCode.h"

class IZuCommand;

// Makes a new command for an id, owned by the caller, or returns null when the id is not its own.
using ZuCommandFactory = IZuCommand* (*)(int32_t id);

// The command registry: one factory per command id. Registering an id again replaces its
// factory. The registry owns nothing but the table.
class ZuCommandRegistry {
 public:
  ZuErrorCodeEnum RegisterCommandFactory(int32_t id, ZuCommandFactory factory);
  void UnregisterCommandFactory(int32_t id);
  // A new command from the id's factory, owned by the caller; null for an unknown id.
  IZuCommand* CreateCommand(int32_t id) const;
  bool IsRegistered(int32_t id) const { return m_factories.count(id) != 0; }

 private:
  std::map<int32_t, ZuCommandFactory> m_factories;
};
