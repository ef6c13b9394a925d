#include "host/app/ZuCommandRegistry.h"

ZuErrorCodeEnum ZuCommandRegistry::RegisterCommandFactory(int32_t id, ZuCommandFactory factory) {
  if (factory == nullptr) return kZuFailure;
  m_factories[id] = factory;
  return kZuSuccess;
}

void ZuCommandRegistry::UnregisterCommandFactory(int32_t id) {
  m_factories.erase(id);
}

IZuCommand* ZuCommandRegistry::CreateCommand(int32_t id) const {
  auto found = m_factories.find(id);
  return found == m_factories.end() ? nullptr : found->second(id);
}
