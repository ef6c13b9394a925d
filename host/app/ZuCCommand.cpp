#include "host/app/ZuCCommand.h"

#include "host/app/IZuCommandEventSink.h"
#include "host/app/IZuSession.h"

ZuCCommand::ZuCCommand(int32_t id)
    : m_eventSink(QuerySession()->GetCommandEventSink(0)), m_id(id) {}

void ZuCCommand::UndoNotify() {
  PostEvent(kZuEventUndone);
}

void ZuCCommand::PostEvent(int32_t eventCode) {
  if (m_eventSink != nullptr) {
    m_eventSink->PostCommandEvent(QuerySession()->GetEventContext(0), eventCode, this);
  }
}
