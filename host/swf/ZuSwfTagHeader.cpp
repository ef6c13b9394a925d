#include "host/swf/ZuSwfTagHeader.h"

#include "host/util/ZuLittleEndian.h"

bool ZuSwfTagHeader::Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() < kShortSize) return false;
  const uint16_t codeAndLength = ZuLittleEndian::ReadU16(bytes.data());
  code = codeAndLength >> 6;
  length = codeAndLength & kLongLengthMark;
  longHeader = length == kLongLengthMark;
  if (!longHeader) return true;
  if (bytes.size() < kLongSize) return false;
  length = ZuLittleEndian::ReadU32(&bytes[2]);
  return true;
}

size_t ZuSwfTagHeader::Encode(uint16_t code, size_t bodySize, bool longHeader, uint8_t* out) {
  longHeader = longHeader || bodySize >= kLongLengthMark;
  const uint16_t shortLength = longHeader ? kLongLengthMark : static_cast<uint16_t>(bodySize);
  const auto codeAndLength = static_cast<uint16_t>((code << 6) | shortLength);
  ZuLittleEndian::WriteU16(out, codeAndLength);
  if (!longHeader) return kShortSize;
  ZuLittleEndian::WriteU32(out + 2, static_cast<uint32_t>(bodySize));
  return kLongSize;
}
