#pragma once

#include <vector>

#include "host/app/IZuCommandEventSink.h"

// The session's event sink: keeps the events posted, in order, as (code, command id) pairs.
class ZuCommandEventLog : public IZuCommandEventSink {
 public:
  struct Event {
    int32_t code;
    int32_t commandId;
  };

  void PostCommandEvent(intptr_t context, int32_t eventCode, IZuCommand* command) override;
  const std::vector<Event>& GetEvents() const { return m_events; }
  void Clear() { m_events.clear(); }

 private:
  std::vector<Event> m_events;
};
