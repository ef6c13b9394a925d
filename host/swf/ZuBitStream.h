#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/util/ZuSharedBytes.h"

// Reads a tag body in order: little-endian bytes and words, and the format's bit fields
// (most significant bit first). Reading past the end fails: the read returns false,
// yields zeros and sets a sticky error, so a parser can read a whole record and check once.
class ZuBitStream {
 public:
  explicit ZuBitStream(ZuSharedBytes bytes);
  explicit ZuBitStream(std::span<const uint8_t> bytes);  // the bytes must outlive the stream

  bool ReadByte(uint8_t& value);
  bool ReadWord(uint16_t& value);
  bool ReadDWord(uint32_t& value);
  bool ReadSignedWord(int16_t& value);
  // Unsigned and signed bit fields of count bits (0 to 32).
  bool ReadBits(unsigned count, uint32_t& value);
  bool ReadSignedBits(unsigned count, int32_t& value);
  // A zero-terminated string (the terminator is consumed, not returned).
  bool ReadString(std::string& value);
  bool Skip(size_t count);
  // Drops the rest of a partly read byte; the next read starts at a byte boundary.
  void AlignToByte();

  // The same reads returning the value, zero once the stream has failed: for parsers that
  // read a whole record and then check HasError.
  uint8_t NextByte() {
    uint8_t value = 0;
    ReadByte(value);
    return value;
  }
  uint16_t NextWord() {
    uint16_t value = 0;
    ReadWord(value);
    return value;
  }
  uint32_t NextBits(unsigned count) {
    uint32_t value = 0;
    ReadBits(count, value);
    return value;
  }
  int32_t NextSignedBits(unsigned count) {
    int32_t value = 0;
    ReadSignedBits(count, value);
    return value;
  }

  // The offset of the next whole byte: a partly read byte counts as read.
  size_t GetBytePosition() const { return m_byte + (m_bitsUsed != 0 ? 1 : 0); }
  size_t GetRemainingBytes() const;
  bool HasError() const { return m_error; }
  std::span<const uint8_t> GetBytes() const { return m_bytes; }

 private:
  ZuSharedBytes m_owner;
  std::span<const uint8_t> m_bytes;
  size_t m_byte = 0;
  unsigned m_bitsUsed = 0;  // bits of m_bytes[m_byte] already read
  bool m_error = false;
};

// Builds a byte sequence in the format's encoding: the counterpart of ZuBitStream.
class ZuBitWriter {
 public:
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);
  void WriteDWord(uint32_t value);
  void WriteBits(unsigned count, uint32_t value);
  void WriteSignedBits(unsigned count, int32_t value);
  void WriteString(const std::string& value);  // with its terminator
  void WriteBytes(std::span<const uint8_t> bytes);
  // Pads a partly written byte with zero bits.
  void AlignToByte();

  // Fewest bits that hold value as a signed / unsigned bit field.
  static unsigned SignedBitsNeeded(int32_t value);
  static unsigned UnsignedBitsNeeded(uint32_t value);

  const std::vector<uint8_t>& GetBytes() const { return m_bytes; }
  std::vector<uint8_t> TakeBytes();

 private:
  std::vector<uint8_t> m_bytes;
  unsigned m_bitsUsed = 0;  // bits of the last byte already written; 0 when aligned
};
