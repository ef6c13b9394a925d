#include "studio/EventStream.h"

#include <chrono>

void EventStream::Publish(const std::string& name, const std::string& json) {
  {
    std::lock_guard hold(m_lock);
    m_events.push_back({++m_lastId, name, json});
    if (m_events.size() > kKept) {
      m_events.pop_front();
    }
  }
  m_changed.notify_all();
}

std::optional<EventStream::Event> EventStream::Next(uint64_t after) {
  std::unique_lock hold(m_lock);
  m_changed.wait_for(hold, std::chrono::seconds(1), [&] { return m_closed || m_lastId > after; });
  if (m_closed) {
    return std::nullopt;
  }
  for (const Event& event : m_events) {
    if (event.id > after) {
      return event;
    }
  }
  return std::nullopt;
}

uint64_t EventStream::Newest() {
  std::lock_guard hold(m_lock);
  return m_lastId;
}

void EventStream::Close() {
  {
    std::lock_guard hold(m_lock);
    m_closed = true;
  }
  m_changed.notify_all();
}

bool EventStream::IsClosed() {
  std::lock_guard hold(m_lock);
  return m_closed;
}

std::string EventStream::Format(const Event& event) {
  return "id: " + std::to_string(event.id) + "\nevent: " + event.name + "\ndata: " + event.json +
         "\n\n";
}
