#include "host/app/ZuCommandEventLog.h"

#include "host/app/IZuCommand.h"

void ZuCommandEventLog::PostCommandEvent(intptr_t, int32_t eventCode, IZuCommand* command) {
  m_events.push_back({eventCode, command != nullptr ? command->GetID() : 0});
}
