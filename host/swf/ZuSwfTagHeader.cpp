#include "host/swf/ZuSwfTagHeader.h"

bool ZuSwfTagHeader::Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() < kShortSize) return false;
  const auto codeAndLength = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
  code = codeAndLength >> 6;
  length = codeAndLength & kLongLengthMark;
  longHeader = length == kLongLengthMark;
  if (!longHeader) return true;
  if (bytes.size() < kLongSize) return false;
  length = static_cast<uint32_t>(bytes[2]) | (static_cast<uint32_t>(bytes[3]) << 8) |
           (static_cast<uint32_t>(bytes[4]) << 16) | (static_cast<uint32_t>(bytes[5]) << 24);
  return true;
}

size_t ZuSwfTagHeader::Encode(uint16_t code, size_t bodySize, bool longHeader, uint8_t* out) {
  longHeader = longHeader || bodySize >= kLongLengthMark;
  const uint16_t shortLength = longHeader ? kLongLengthMark : static_cast<uint16_t>(bodySize);
  const auto codeAndLength = static_cast<uint16_t>((code << 6) | shortLength);
  out[0] = static_cast<uint8_t>(codeAndLength);
  out[1] = static_cast<uint8_t>(codeAndLength >> 8);
  if (!longHeader) return kShortSize;
  const auto length = static_cast<uint32_t>(bodySize);
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<uint8_t>(length >> (8 * i));
  return kLongSize;
}
