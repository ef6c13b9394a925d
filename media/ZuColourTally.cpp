#include "media/ZuColourTally.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "host/image/ZuImage.h"

namespace {

inline uint32_t PixelAt(const uint8_t* pixel) {
  uint32_t value = 0;
  std::memcpy(&value, pixel, sizeof value);
  return value;
}

}  // namespace

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

std::vector<std::pair<uint32_t, uint32_t>> ZuColourTally::Counted() const {
  std::vector<std::pair<uint32_t, uint32_t>> counted;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (m_colours[slot] != kFree) {
      counted.emplace_back(m_colours[slot], m_values[slot]);
    }
  }
  return counted;
}

std::vector<uint32_t> ZuColourTally::ByFrequency() const {
  std::vector<std::pair<uint32_t, uint32_t>> counted;
  for (const auto& [colour, count] : Counted()) {
    counted.emplace_back(count, colour);
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

bool ZuTallyChangedPixels(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                          ZuColourTally& tally, std::vector<uint8_t>& changed) {
  changed.resize(static_cast<size_t>(rect.Area()));
  bool unchanged = false;
  size_t i = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* now = picture.Row(y) + static_cast<size_t>(rect.left) * 4;
    const uint8_t* before =
        previous != nullptr ? previous->Row(y) + static_cast<size_t>(rect.left) * 4 : nullptr;
    for (int x = 0; x < rect.Width(); ++x, ++i) {
      const uint32_t pixel = PixelAt(now + ptrdiff_t{4} * x);
      const bool differs = before == nullptr || pixel != PixelAt(before + ptrdiff_t{4} * x);
      changed[i] = differs ? 1 : 0;
      unchanged = unchanged || !differs;
      if (differs && !tally.Overflowed()) {
        tally.Add(pixel & 0xFFFFFF);
      }
    }
  }
  return unchanged;
}
