#include "host/app/ZuChunker.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// 256 fixed pseudo-random words, one per byte value (splitmix64 from a fixed seed). They
// must never change: stored chunks were cut with them, and a later version cut differently
// would share nothing with them.
constexpr std::array<uint64_t, 256> MakeGearTable() {
  std::array<uint64_t, 256> table{};
  uint64_t state = 0x5A75464D52456469ull;
  for (uint64_t& word : table) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    word = z ^ (z >> 31);
  }
  return table;
}

constexpr std::array<uint64_t, 256> kGear = MakeGearTable();

// The top bits of a word: they depend on all of the last 64 bytes hashed.
constexpr uint64_t TopBits(int count) {
  return ~uint64_t{0} << (64 - count);
}

}  // namespace

ZuChunker::ZuChunker(size_t averageSize) {
  const int bits = std::max(8, static_cast<int>(std::bit_width(averageSize)) - 1);
  m_average = size_t{1} << bits;
  m_minimum = m_average / 4;
  m_maximum = m_average * 4;
  m_maskBeforeAverage = TopBits(bits + 1);
  m_maskAfterAverage = TopBits(bits - 1);
}

size_t ZuChunker::Cut(const uint8_t* data, size_t size) const {
  if (size <= m_minimum) {
    return size;
  }
  const size_t end = std::min(size, m_maximum);
  const size_t average = std::min(end, m_average);
  uint64_t hash = 0;
  size_t i = m_minimum;
  for (; i < average; ++i) {
    hash = (hash << 1) + kGear[data[i]];
    if ((hash & m_maskBeforeAverage) == 0) {
      return i + 1;
    }
  }
  for (; i < end; ++i) {
    hash = (hash << 1) + kGear[data[i]];
    if ((hash & m_maskAfterAverage) == 0) {
      return i + 1;
    }
  }
  return end;
}
