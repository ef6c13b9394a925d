#include "host/app/ZuSession.h"

#include "host/app/ZuComponentLoader.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuProject.h"

ZuSession::ZuSession() {
  RegisterHostCommands(m_registry);
}

// The history's clones may point into the project, so they go first.
ZuSession::~ZuSession() {
  m_history.Clear();
}

ZuErrorCodeEnum ZuSession::LoadComponents(std::string* error) {
  return ZuComponentLoader::LoadFMREditComponent(error);
}

ZuProjectHolder* ZuSession::GetProjectHolder(int32_t, int32_t) {
  return &m_projects;
}
ZuCommandRegistry* ZuSession::GetCommandRegistry(int32_t) {
  return &m_registry;
}
IZuCommandEventSink* ZuSession::GetCommandEventSink(int32_t) {
  return &m_events;
}
intptr_t ZuSession::GetEventContext(int32_t) {
  return reinterpret_cast<intptr_t>(this);
}

ZuSession* GetZuSession() {
  static ZuSession* session = new ZuSession();  // lives until the process ends
  return session;
}

IZuSession* QuerySession() {
  return GetZuSession();
}
