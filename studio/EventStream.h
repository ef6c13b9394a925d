#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

// Server-sent events for every open page: the progress of the running edit and news that the
// project changed (so a second page showing the project catches up). Publishers add events;
// each page's stream reads them in order from where it stands. Only recent events are kept:
// a page that falls behind just skips to them.
class EventStream {
 public:
  struct Event {
    uint64_t id = 0;
    std::string name;
    std::string json;
  };

  void Publish(const std::string& name, const std::string& json);
  // The first event after id, waiting up to a second for one; empty on time-out or close.
  std::optional<Event> Next(uint64_t after);
  // The id of the newest event, where a new page starts reading.
  uint64_t Newest();
  // Ends every stream: Next returns at once from then on.
  void Close();
  bool IsClosed();

  // The event as the text/event-stream format writes it.
  static std::string Format(const Event& event);

 private:
  static constexpr size_t kKept = 256;
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::deque<Event> m_events;
  uint64_t m_lastId = 0;
  bool m_closed = false;
};
