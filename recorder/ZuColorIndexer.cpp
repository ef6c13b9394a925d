#include "recorder/ZuColorIndexer.h"

#include <algorithm>
#include <cstring>

#include "host/swf/ZuSwfLosslessBitmap.h"

namespace {

// A pixel's bytes as one number; the same colour always gives the same number.
uint32_t KeyOf(const uint8_t* pixel, int bytesPerPixel) {
  if (bytesPerPixel == 2) {
    return (static_cast<uint32_t>(pixel[0]) << 8u) | pixel[1];
  }
  uint32_t key = 0;
  std::memcpy(&key, pixel, sizeof key);
  return key;
}

}  // namespace

int ZuColorIndexer::Lookup(uint32_t key) {
  size_t slot = (key * 2654435761u) >> 22u;  // the top 10 bits: kSlots is 1024
  for (;; slot = (slot + 1) & (kSlots - 1)) {
    const uint16_t index = m_slots[slot];
    if (index == kFreeSlot) {
      break;
    }
    if (m_keys[index] == key) {
      return index;
    }
  }
  if (m_count == m_maxColors) {
    return -1;
  }
  m_keys[m_count] = key;
  m_slots[slot] = static_cast<uint16_t>(m_count);
  return static_cast<int>(m_count++);
}

size_t ZuColorIndexer::Index(const uint8_t* rows, size_t rowStride, int width, int height,
                             int bytesPerPixel, size_t maxColors) {
  m_maxColors = std::min(maxColors, kMaxColors);
  m_count = 0;
  if (width < 1 || height < 1 || m_maxColors == 0) {
    return 0;
  }
  m_slots.fill(kFreeSlot);
  const size_t indexRow = ZuSwfLosslessBitmap::IndexBytes(width, 1);
  m_buffer.resize(kTableRoom + indexRow * static_cast<size_t>(height));
  uint32_t lastKey = KeyOf(rows, bytesPerPixel);
  int lastIndex = Lookup(lastKey);
  for (int y = 0; y < height; ++y) {
    const uint8_t* pixel = rows + rowStride * static_cast<size_t>(y);
    uint8_t* out = m_buffer.data() + kTableRoom + indexRow * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x, pixel += bytesPerPixel) {
      const uint32_t key = KeyOf(pixel, bytesPerPixel);
      if (key != lastKey) {
        lastIndex = Lookup(key);
        if (lastIndex < 0) {
          return 0;
        }
        lastKey = key;
      }
      out[x] = static_cast<uint8_t>(lastIndex);
    }
    std::fill(out + width, out + indexRow, 0);
  }
  WriteTable(bytesPerPixel);
  return m_count;
}

// Entries as the pictures show the colours: 32-bit pixels are already premultiplied ARGB;
// 15-bit channels widen to 8 bits as format 4 pictures do.
void ZuColorIndexer::WriteTable(int bytesPerPixel) {
  uint8_t* entry = m_buffer.data() + kTableRoom - m_count * kEntryBytes;
  for (size_t i = 0; i < m_count; ++i, entry += kEntryBytes) {
    const uint32_t key = m_keys[i];
    if (bytesPerPixel == 2) {
      entry[0] = ZuSwfLosslessBitmap::Widen5((key >> 10u) & 0x1Fu);
      entry[1] = ZuSwfLosslessBitmap::Widen5((key >> 5u) & 0x1Fu);
      entry[2] = ZuSwfLosslessBitmap::Widen5(key & 0x1Fu);
      entry[3] = 0xFF;
    } else {
      uint8_t argb[4];
      std::memcpy(argb, &key, sizeof argb);
      entry[0] = argb[1];
      entry[1] = argb[2];
      entry[2] = argb[3];
      entry[3] = argb[0];
    }
  }
}

std::span<const uint8_t> ZuColorIndexer::GetData() const {
  const size_t start = kTableRoom - m_count * kEntryBytes;
  return {m_buffer.data() + start, m_buffer.size() - start};
}
