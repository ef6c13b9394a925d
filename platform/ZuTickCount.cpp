#include "platform/ZuTickCount.h"

#include <chrono>

DWORD timeGetTime() {
  // Milliseconds since the system started, as the Windows call counts them (the monotonic
  // clock's epoch is the boot on Linux); wraps after 49.7 days like the original.
  const auto sinceBoot = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<DWORD>(sinceBoot.count());
}
