#include "media/ZuGifLzw.h"

#include <algorithm>

int ZuGifLzw::CodeSizeFor(int count) {
  int bits = 2;
  while (bits < 8 && (1 << bits) < count) {
    ++bits;
  }
  return bits;
}

void ZuGifLzw::ResetTable() {
  m_table.fill(kEmpty);
}

uint32_t ZuGifLzw::Find(uint32_t key) const {
  for (size_t slot = (key * 2654435761U) >> 19 & (kHashSize - 1);;
       slot = (slot + 1) & (kHashSize - 1)) {
    const uint32_t entry = m_table[slot];
    if (entry == kEmpty) {
      return kEmpty;
    }
    if (entry >> kMaxBits == key) {
      return entry & kLastCode;
    }
  }
}

void ZuGifLzw::Insert(uint32_t key, uint32_t code) {
  size_t slot = (key * 2654435761U) >> 19 & (kHashSize - 1);
  while (m_table[slot] != kEmpty) {
    slot = (slot + 1) & (kHashSize - 1);
  }
  m_table[slot] = key << kMaxBits | code;
}

void ZuGifLzw::Put(uint32_t code) {
  m_bits |= uint64_t{code} << m_bitCount;
  m_bitCount += m_codeBits;
  FlushBits(false);
}

// Moves whole bytes into the sub-block, and a full sub-block into the output; with all, the
// last partial byte and sub-block too.
void ZuGifLzw::FlushBits(bool all) {
  while (m_bitCount >= 8 || (all && m_bitCount > 0)) {
    m_block[++m_block[0]] = static_cast<uint8_t>(m_bits);
    m_bits >>= 8;
    m_bitCount = std::max(0, m_bitCount - 8);
    if (m_block[0] == 255) {
      m_out->insert(m_out->end(), m_block, m_block + 256);
      m_block[0] = 0;
    }
  }
  if (all && m_block[0] > 0) {
    m_out->insert(m_out->end(), m_block, m_block + 1 + m_block[0]);
    m_block[0] = 0;
  }
}

// The classic coder: the longest string in the table is extended by one index at a time.
// The code width grows as the decoder's will when it reads the code just written, and a
// full table is reset with a clear code.
void ZuGifLzw::Encode(const uint8_t* indices, size_t count, int codeSize,
                      std::vector<uint8_t>& out) {
  m_out = &out;
  out.push_back(static_cast<uint8_t>(codeSize));
  const uint32_t clear = 1U << codeSize;
  const uint32_t end = clear + 1;
  m_bits = 0;
  m_bitCount = 0;
  m_block[0] = 0;
  m_codeBits = codeSize + 1;
  m_nextCode = end + 1;
  ResetTable();
  Put(clear);
  if (count > 0) {
    uint32_t prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
      const uint32_t key = prefix << 8 | indices[i];
      const uint32_t code = Find(key);
      if (code != kEmpty) {
        prefix = code;
        continue;
      }
      Put(prefix);
      if (m_nextCode >= (1U << m_codeBits) && m_codeBits < kMaxBits) {
        ++m_codeBits;
      }
      if (m_nextCode >= kLastCode) {
        Put(clear);
        m_codeBits = codeSize + 1;
        m_nextCode = end + 1;
        ResetTable();
      } else {
        Insert(key, m_nextCode++);
      }
      prefix = indices[i];
    }
    Put(prefix);
    if (m_nextCode >= (1U << m_codeBits) && m_codeBits < kMaxBits) {
      ++m_codeBits;
    }
  }
  Put(end);
  FlushBits(true);
  out.push_back(0);
  m_out = nullptr;
}
