#pragma once

#include <vector>

#include "host/util/ZuString.h"

// One entry of the user-event log.
struct ZuUserEvent {
  ZuString category;  // "FMR Edit"
  ZuString action;    // "Delete"
  ZuString detail;
};

// The user-event log: what the user did, for usage reports. Entries are kept in memory
// for the process (the most recent 1000) and, when the environment variable
// FMREDIT_EVENT_LOG names a file, appended to it as tab-separated lines
// "2026-12-05T15:52:53Z<TAB>FMR Edit<TAB>Delete<TAB>detail" (UTC; tabs and line breaks inside
// a field become spaces). A log file that cannot be written is ignored. Thread-safe.
class ZuUserEventUtil {
 public:
  static void LogUserEvent(const ZuString& category, const ZuString& action,
                           const ZuString& detail);
  static std::vector<ZuUserEvent> GetRecentEvents();
  static void ClearRecentEvents();
};
