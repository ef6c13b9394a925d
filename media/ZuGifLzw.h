#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The LZW coder of GIF image data: colour indices in, the image's code size byte and data
// sub-blocks out, as a GIF decoder reads them. Keeps its code table between calls so that
// coding many frames allocates nothing.
class ZuGifLzw {
 public:
  // The smallest code size a GIF allows for colour indices below count (2 for 4 colours or
  // fewer, 8 for more than 128).
  static int CodeSizeFor(int count);

  // Codes indices (each below 2^codeSize) and appends the code size byte, the sub-blocks
  // and their terminator to out.
  void Encode(const uint8_t* indices, size_t count, int codeSize, std::vector<uint8_t>& out);

 private:
  static constexpr int kMaxBits = 12;
  static constexpr uint32_t kLastCode = (1U << kMaxBits) - 1;  // the table is reset at it
  static constexpr size_t kHashSize = 8192;                    // > 4096 codes, a power of 2
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;

  void ResetTable();
  // The code of the string prefix + index, or kEmpty.
  uint32_t Find(uint32_t key) const;
  void Insert(uint32_t key, uint32_t code);
  void Put(uint32_t code);
  void FlushBits(bool all);

  std::array<uint32_t, kHashSize> m_table{};  // key << 12 | code; kEmpty when free
  std::vector<uint8_t>* m_out = nullptr;
  uint8_t m_block[256] = {};  // the sub-block being filled, its length first
  uint64_t m_bits = 0;        // codes not yet whole bytes, lowest bit first
  int m_bitCount = 0;
  int m_codeBits = 0;
  uint32_t m_nextCode = 0;
};
