#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Turns a rectangle of a recorded frame (in ZuFramePixels' layout) into the data of a
// colour-mapped bitmap: a table of its colours as premultiplied RGBA entries, then one
// table index per pixel in rows padded to 4 bytes. Screens show few colours (text, window
// edges, flat backgrounds), and a byte per pixel compresses to far less than the colours do.
//
// The colours are found with a small open-addressing table, and a pixel like the one
// before it costs no look-up, so flat areas and text go at memory speed.
class ZuColorIndexer {
 public:
  static constexpr size_t kMaxColors = 256;
  static constexpr size_t kEntryBytes = 4;  // a table entry: red, green, blue, alpha

  // Indexes height rows of width pixels, each rowStride bytes after the one before, of
  // bytesPerPixel 4 (alpha, red, green, blue) or 2 (15-bit big-endian 5-5-5). The number of
  // table entries, or 0 when the rows hold more than maxColors (at most kMaxColors) colours.
  size_t Index(const uint8_t* rows, size_t rowStride, int width, int height, int bytesPerPixel,
               size_t maxColors);

  // The table and the index rows of the last successful Index.
  std::span<const uint8_t> GetData() const;

 private:
  static constexpr size_t kSlots = 4 * kMaxColors;  // a power of two
  static constexpr uint16_t kFreeSlot = 0xFFFF;
  static constexpr size_t kTableRoom = kMaxColors * kEntryBytes;

  // The table index of the colour key, added when new; -1 when the table is full.
  int Lookup(uint32_t key);
  void WriteTable(int bytesPerPixel);

  size_t m_maxColors = 0;
  size_t m_count = 0;
  std::array<uint16_t, kSlots> m_slots{};     // table index per hash slot, or kFreeSlot
  std::array<uint32_t, kMaxColors> m_keys{};  // colour keys by table index
  // The table is written at the end of the first kTableRoom bytes, so that it runs straight
  // into the index rows that follow them.
  std::vector<uint8_t> m_buffer;
};
