#include "host/swf/ZuSwfWriter.h"

#include <limits>

#include "host/swf/ZuSwfTag.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

constexpr uint16_t kMaxTagCode = 1023;  // 10 bits of the tag header
constexpr uint16_t kShortLengthLimit = 63;
constexpr size_t kShortTagHeaderSize = 2;
constexpr size_t kLongTagHeaderSize = 6;
constexpr size_t kFileHeaderSize = 8;
constexpr size_t kRateAndCountSize = 4;
constexpr uint16_t kEndTagCode = 0;

bool NeedsLongHeader(const ZuSwfTag& tag, size_t bodySize) {
  return tag.UsesLongHeader() || bodySize >= kShortLengthLimit;
}

// Whether the list's last non-null tag is an End tag, so that none is added.
bool EndsWithEndTag(const ZuSwfTagSet& tags) {
  for (auto it = tags.end(); it != tags.begin();) {
    --it;
    if (*it != nullptr) {
      return (*it)->GetTagType() == kEndTagCode;
    }
  }
  return false;
}

}  // namespace

size_t ZuSwfWriter::EncodeTagHeader(uint16_t code, size_t bodySize, bool longHeader, uint8_t* out) {
  const uint16_t shortLength = longHeader ? kShortLengthLimit : static_cast<uint16_t>(bodySize);
  const uint16_t codeAndLength = static_cast<uint16_t>((code << 6) | shortLength);
  out[0] = static_cast<uint8_t>(codeAndLength);
  out[1] = static_cast<uint8_t>(codeAndLength >> 8);
  if (!longHeader) {
    return kShortTagHeaderSize;
  }
  const auto length = static_cast<uint32_t>(bodySize);
  for (int i = 0; i < 4; ++i) {
    out[2 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
  return kLongTagHeaderSize;
}

bool ZuSwfWriter::MeasureFile(const ZuSwfMovieParts& parts, uint64_t& fileSize,
                              std::string& error) {
  uint64_t total = kFileHeaderSize + parts.frameRectBytes.size() + kRateAndCountSize;
  size_t index = 0;
  for (const ZuSwfTag* tag : *parts.tags) {
    ++index;
    if (tag == nullptr) {
      continue;
    }
    const uint16_t code = tag->GetTagType();
    const size_t bodySize = tag->GetBody().size();
    if (code > kMaxTagCode) {
      error = "tag " + std::to_string(index) + " has code " + std::to_string(code) +
              ", more than a tag header holds";
      return false;
    }
    if (bodySize > std::numeric_limits<uint32_t>::max()) {
      error = "tag " + std::to_string(index) + " has a body of 4 GiB or more";
      return false;
    }
    total +=
        (NeedsLongHeader(*tag, bodySize) ? kLongTagHeaderSize : kShortTagHeaderSize) + bodySize;
  }
  if (!EndsWithEndTag(*parts.tags)) {
    total += kShortTagHeaderSize;
  }
  total += parts.trailingBytes.size();
  if (total > std::numeric_limits<uint32_t>::max()) {
    error = "the movie is larger than the 4 GiB a file header can declare";
    return false;
  }
  fileSize = total;
  return true;
}

bool ZuSwfWriter::WriteBody(const ZuSwfMovieParts& parts, const Sink& sink) {
  uint8_t rateAndCount[kRateAndCountSize] = {
      static_cast<uint8_t>(parts.frameRate), static_cast<uint8_t>(parts.frameRate >> 8),
      static_cast<uint8_t>(parts.frameCount), static_cast<uint8_t>(parts.frameCount >> 8)};
  if (!sink(parts.frameRectBytes.data(), parts.frameRectBytes.size()) ||
      !sink(rateAndCount, sizeof rateAndCount)) {
    return false;
  }
  uint8_t header[kLongTagHeaderSize];
  ZuMappedPageReleaser pages;  // a movie written from a mapped file never becomes resident whole
  for (const ZuSwfTag* tag : *parts.tags) {
    if (tag == nullptr) {
      continue;
    }
    const ZuSharedBytes body = tag->GetBody();
    const size_t headerSize =
        EncodeTagHeader(tag->GetTagType(), body.size(), NeedsLongHeader(*tag, body.size()), header);
    if (!sink(header, headerSize) || !sink(body.data(), body.size())) {
      return false;
    }
    pages.PassedEnd(body);
  }
  if (!EndsWithEndTag(*parts.tags)) {
    const size_t headerSize = EncodeTagHeader(kEndTagCode, 0, false, header);
    if (!sink(header, headerSize)) {
      return false;
    }
  }
  return sink(parts.trailingBytes.data(), parts.trailingBytes.size());
}
