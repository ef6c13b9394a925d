#include "media/ZuColourTally.h"

#include <algorithm>
#include <utility>

void ZuColourTally::Reset(int limit) {
  std::fill(std::begin(m_colours), std::end(m_colours), kFree);
  m_size = 0;
  m_limit = std::min(limit, kSlots / 2);
  m_overflowed = false;
}

int ZuColourTally::Slot(uint32_t colour) const {
  int slot = static_cast<int>((colour * 2654435761U) >> 21);  // 11 bits: kSlots
  while (m_colours[slot] != kFree && m_colours[slot] != colour) {
    slot = (slot + 1) & (kSlots - 1);
  }
  return slot;
}

bool ZuColourTally::Add(uint32_t colour) {
  const int slot = Slot(colour);
  if (m_colours[slot] == colour) {
    ++m_values[slot];
    return true;
  }
  if (m_size == m_limit) {
    m_overflowed = true;
    return false;
  }
  m_colours[slot] = colour;
  m_values[slot] = 1;
  ++m_size;
  return true;
}

std::vector<uint32_t> ZuColourTally::ByFrequency() const {
  std::vector<std::pair<uint32_t, uint32_t>> counted;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (m_colours[slot] != kFree) {
      counted.emplace_back(m_values[slot], m_colours[slot]);
    }
  }
  std::sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) {
    return a.first > b.first || (a.first == b.first && a.second < b.second);
  });
  std::vector<uint32_t> colours;
  colours.reserve(counted.size());
  for (const auto& entry : counted) {
    colours.push_back(entry.second);
  }
  return colours;
}

void ZuColourTally::Set(uint32_t colour, int index) {
  const int slot = Slot(colour);
  if (m_colours[slot] != colour) {
    m_colours[slot] = colour;
    ++m_size;
  }
  m_values[slot] = static_cast<uint32_t>(index);
}

int ZuColourTally::Find(uint32_t colour) const {
  const int slot = Slot(colour);
  return m_colours[slot] == colour ? static_cast<int>(m_values[slot]) : -1;
}
