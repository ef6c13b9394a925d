#include "host/swf/ZuBitStream.h"

#include <algorithm>
#include <utility>

#include "host/util/ZuLittleEndian.h"

ZuBitStream::ZuBitStream(ZuSharedBytes bytes)
    : m_owner(std::move(bytes)), m_bytes(m_owner.span()) {}

ZuBitStream::ZuBitStream(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

size_t ZuBitStream::GetRemainingBytes() const {
  size_t position = GetBytePosition();
  return position < m_bytes.size() ? m_bytes.size() - position : 0;
}

void ZuBitStream::AlignToByte() {
  if (m_bitsUsed != 0) {
    m_bitsUsed = 0;
    ++m_byte;
  }
}

bool ZuBitStream::ReadByte(uint8_t& value) {
  value = 0;
  AlignToByte();
  if (m_error || m_byte >= m_bytes.size()) {
    m_error = true;
    return false;
  }
  value = m_bytes[m_byte++];
  return true;
}

bool ZuBitStream::ReadWord(uint16_t& value) {
  uint8_t bytes[2] = {};
  const bool ok = ReadByte(bytes[0]) && ReadByte(bytes[1]);
  value = ok ? ZuLittleEndian::ReadU16(bytes) : 0;
  return ok;
}

bool ZuBitStream::ReadDWord(uint32_t& value) {
  uint8_t bytes[4] = {};
  const bool ok =
      ReadByte(bytes[0]) && ReadByte(bytes[1]) && ReadByte(bytes[2]) && ReadByte(bytes[3]);
  value = ok ? ZuLittleEndian::ReadU32(bytes) : 0;
  return ok;
}

bool ZuBitStream::ReadSignedWord(int16_t& value) {
  uint16_t word = 0;
  bool ok = ReadWord(word);
  value = static_cast<int16_t>(word);
  return ok;
}

bool ZuBitStream::ReadBits(unsigned count, uint32_t& value) {
  value = 0;
  if (count > 32) {
    m_error = true;
    return false;
  }
  uint64_t bits = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (m_error || m_byte >= m_bytes.size()) {
      m_error = true;
      return false;
    }
    unsigned bit = (m_bytes[m_byte] >> (7 - m_bitsUsed)) & 1u;
    bits = (bits << 1) | bit;
    if (++m_bitsUsed == 8) {
      m_bitsUsed = 0;
      ++m_byte;
    }
  }
  if (m_error) return false;
  value = static_cast<uint32_t>(bits);
  return true;
}

bool ZuBitStream::ReadSignedBits(unsigned count, int32_t& value) {
  value = 0;
  uint32_t bits = 0;
  if (!ReadBits(count, bits)) return false;
  if (count == 0) return true;
  if (count < 32 && (bits & (1u << (count - 1))) != 0) bits |= ~0u << count;  // sign-extend
  value = static_cast<int32_t>(bits);
  return true;
}

bool ZuBitStream::ReadString(std::string& value) {
  value.clear();
  AlignToByte();
  while (!m_error && m_byte < m_bytes.size()) {
    uint8_t c = m_bytes[m_byte++];
    if (c == 0) return true;
    value.push_back(static_cast<char>(c));
  }
  value.clear();
  m_error = true;
  return false;
}

bool ZuBitStream::Skip(size_t count) {
  AlignToByte();
  if (m_error || count > m_bytes.size() - std::min(m_byte, m_bytes.size())) {
    m_error = true;
    return false;
  }
  m_byte += count;
  return true;
}

// --- ZuBitWriter ---

void ZuBitWriter::AlignToByte() {
  m_bitsUsed = 0;
}

void ZuBitWriter::WriteByte(uint8_t value) {
  AlignToByte();
  m_bytes.push_back(value);
}

void ZuBitWriter::WriteWord(uint16_t value) {
  AlignToByte();
  ZuLittleEndian::AppendU16(m_bytes, value);
}

void ZuBitWriter::WriteDWord(uint32_t value) {
  AlignToByte();
  ZuLittleEndian::AppendU32(m_bytes, value);
}

void ZuBitWriter::WriteBits(unsigned count, uint32_t value) {
  for (unsigned i = count; i > 0; --i) {
    if (m_bitsUsed == 0) m_bytes.push_back(0);
    unsigned bit = i <= 32 ? (value >> (i - 1)) & 1u : 0;
    m_bytes.back() = static_cast<uint8_t>(m_bytes.back() | (bit << (7 - m_bitsUsed)));
    m_bitsUsed = (m_bitsUsed + 1) % 8;
  }
}

void ZuBitWriter::WriteSignedBits(unsigned count, int32_t value) {
  WriteBits(count, static_cast<uint32_t>(value));
}

void ZuBitWriter::WriteString(const std::string& value) {
  AlignToByte();
  for (char c : value) m_bytes.push_back(static_cast<uint8_t>(c));
  m_bytes.push_back(0);
}

void ZuBitWriter::WriteBytes(std::span<const uint8_t> bytes) {
  AlignToByte();
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

unsigned ZuBitWriter::UnsignedBitsNeeded(uint32_t value) {
  unsigned bits = 0;
  while (value != 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

unsigned ZuBitWriter::SignedBitsNeeded(int32_t value) {
  if (value == 0) return 0;
  // Magnitude bits plus one sign bit; -1 needs only the sign bit.
  uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return UnsignedBitsNeeded(magnitude) + 1;
}

std::vector<uint8_t> ZuBitWriter::TakeBytes() {
  m_bitsUsed = 0;
  return std::move(m_bytes);
}
