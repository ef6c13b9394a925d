#pragma once

#include <cstdint>
#include <vector>

// The byte order of every number in a movie file (and of the 16-bit pixels of bitmaps and
// device-independent pictures): the low byte first. Readers and writers of such numbers go
// through here, so that the order is written down once.
class ZuLittleEndian {
 public:
  static uint16_t ReadU16(const uint8_t* in) { return static_cast<uint16_t>(in[0] | (in[1] << 8)); }
  static uint32_t ReadU32(const uint8_t* in) {
    return uint32_t{ReadU16(in)} | (uint32_t{ReadU16(in + 2)} << 16);
  }
  static void WriteU16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
  }
  static void WriteU32(uint8_t* out, uint32_t value) {
    WriteU16(out, static_cast<uint16_t>(value));
    WriteU16(out + 2, static_cast<uint16_t>(value >> 16));
  }
  static void AppendU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
  }
  static void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    AppendU16(out, static_cast<uint16_t>(value));
    AppendU16(out, static_cast<uint16_t>(value >> 16));
  }
};
