#include "tests/support/Residency.h"

#include <cstdint>
#include <cstdio>

size_t ResidentBytesOf(const void* address) {
  std::FILE* maps = std::fopen("/proc/self/smaps", "r");
  if (maps == nullptr) return SIZE_MAX;
  const auto target = reinterpret_cast<uintptr_t>(address);
  char line[512];
  bool inside = false;
  size_t kilobytes = SIZE_MAX;
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    uintptr_t from = 0, to = 0;
    if (std::sscanf(line, "%lx-%lx ", &from, &to) == 2) {
      inside = target >= from && target < to;
    } else if (inside && std::sscanf(line, "Rss: %zu kB", &kilobytes) == 1) {
      break;
    }
  }
  std::fclose(maps);
  return kilobytes == SIZE_MAX ? SIZE_MAX : kilobytes * 1024;
}
