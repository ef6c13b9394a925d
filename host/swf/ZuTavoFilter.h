#pragma once

#include <cstdint>
#include <vector>

// One display filter of a placement (drop shadow, blur, ...), kept as the format's
// FILTER record: the filter id and the bytes that follow it.
struct ZuTavoFilter {
  uint8_t filterId = 0;
  std::vector<uint8_t> data;
};
