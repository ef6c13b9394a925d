#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The header in front of every tag body, in a file and inside a sprite: one little-endian
// word holding the 10-bit tag code and a 6-bit length; a length of 63 announces the real
// length in the next four bytes (the long form).
struct ZuSwfTagHeader {
  static constexpr size_t kShortSize = 2;
  static constexpr size_t kLongSize = 6;
  static constexpr uint16_t kLongLengthMark = 63;  // also the first length the short form lacks
  static constexpr uint16_t kMaxCode = 1023;

  uint16_t code = 0;
  uint32_t length = 0;  // of the body
  bool longHeader = false;

  size_t Size() const { return longHeader ? kLongSize : kShortSize; }
  // The header and the body together.
  size_t TagSize() const { return Size() + length; }

  // Reads the header at the start of bytes. False when bytes end inside it; the code is set
  // all the same when its word was there.
  bool Decode(std::span<const uint8_t> bytes);
  // Writes the header of a tag into out, which has room for kLongSize bytes; returns its
  // size. The long form is used when longHeader is set or the body needs it.
  static size_t Encode(uint16_t code, size_t bodySize, bool longHeader, uint8_t* out);
};
