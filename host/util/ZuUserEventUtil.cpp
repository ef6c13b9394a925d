#include "host/util/ZuUserEventUtil.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>

namespace {

constexpr size_t kMaxRecentEvents = 1000;
constexpr const char* kLogVariable = "FMREDIT_EVENT_LOG";

// The process-wide log. Built on first use, never destroyed, so that logging from static
// destructors stays safe.
struct EventLog {
  std::mutex mutex;
  std::deque<ZuUserEvent> recent;
};

EventLog& TheLog() {
  static EventLog* log = new EventLog();
  return *log;
}

// A field's text with tabs and line breaks turned into spaces, so that one event stays one line.
std::string FieldText(const ZuString& field) {
  std::string text = field.GetUTF8String();
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  return text;
}

std::string UtcTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  char text[32] = "";
  if (gmtime_r(&now, &parts) != nullptr) {
    std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &parts);
  }
  return text;
}

// Appends one line in a single write, so that lines of concurrent writers do not interleave.
// Failures are ignored: the log must never disturb the edit it records.
void AppendToLogFile(const char* path, const ZuUserEvent& event) {
  const std::string line = UtcTimestamp() + "\t" + FieldText(event.category) + "\t" +
                           FieldText(event.action) + "\t" + FieldText(event.detail) + "\n";
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    return;
  }
  const ssize_t written = write(fd, line.data(), line.size());
  static_cast<void>(written);
  close(fd);
}

}  // namespace

void ZuUserEventUtil::LogUserEvent(const ZuString& category, const ZuString& action,
                                   const ZuString& detail) {
  ZuUserEvent event{category, action, detail};
  EventLog& log = TheLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  const char* path = std::getenv(kLogVariable);
  if (path != nullptr && *path != '\0') {
    AppendToLogFile(path, event);
  }
  log.recent.push_back(std::move(event));
  if (log.recent.size() > kMaxRecentEvents) {
    log.recent.pop_front();
  }
}

std::vector<ZuUserEvent> ZuUserEventUtil::GetRecentEvents() {
  EventLog& log = TheLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  return {log.recent.begin(), log.recent.end()};
}

void ZuUserEventUtil::ClearRecentEvents() {
  EventLog& log = TheLog();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.recent.clear();
}
