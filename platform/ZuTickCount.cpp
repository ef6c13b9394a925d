#include "platform/ZuTickCount.h"

#include <chrono>

DWORD timeGetTime() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  return static_cast<DWORD>(elapsed.count());
}
