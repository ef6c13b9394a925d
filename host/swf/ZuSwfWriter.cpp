#include "host/swf/ZuSwfWriter.h"

#include <limits>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagHeader.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/util/ZuLittleEndian.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

bool NeedsLongHeader(const ZuSwfTag& tag, size_t bodySize) {
  return tag.UsesLongHeader() || bodySize >= ZuSwfTagHeader::kLongLengthMark;
}

// Whether the list's last non-null tag is an End tag, so that none is added.
bool EndsWithEndTag(const ZuSwfTagSet& tags) {
  for (auto it = tags.end(); it != tags.begin();) {
    --it;
    if (*it != nullptr) {
      return (*it)->GetTagType() == ZuSwfTagFactory::kEnd;
    }
  }
  return false;
}

}  // namespace

bool ZuSwfWriter::MeasureFile(const ZuSwfMovieParts& parts, uint64_t& fileSize,
                              std::string& error) {
  uint64_t total = kZuSwfFileHeaderSize + parts.frameRectBytes.size() + kZuSwfRateAndCountSize;
  size_t index = 0;
  uint64_t showFrames = 0;
  for (const ZuSwfTag* tag : *parts.tags) {
    ++index;
    if (tag == nullptr) {
      continue;
    }
    const uint16_t code = tag->GetTagType();
    const size_t bodySize = tag->GetBody().size();
    if (code > ZuSwfTagHeader::kMaxCode) {
      error = "tag " + std::to_string(index) + " has code " + std::to_string(code) +
              ", more than a tag header holds";
      return false;
    }
    if (bodySize > std::numeric_limits<uint32_t>::max()) {
      error = "tag " + std::to_string(index) + " has a body of 4 GiB or more";
      return false;
    }
    total +=
        (NeedsLongHeader(*tag, bodySize) ? ZuSwfTagHeader::kLongSize : ZuSwfTagHeader::kShortSize) +
        bodySize;
    showFrames += code == ZuSwfTagFactory::kShowFrame ? 1 : 0;
  }
  if (showFrames > kZuSwfMaxFrameCount) {
    error = "the movie has " + std::to_string(showFrames) + " frames, more than the " +
            std::to_string(kZuSwfMaxFrameCount) + " a file header can declare";
    return false;
  }
  if (!EndsWithEndTag(*parts.tags)) {
    total += ZuSwfTagHeader::kShortSize;
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
  uint8_t rateAndCount[kZuSwfRateAndCountSize] = {};
  ZuLittleEndian::WriteU16(rateAndCount, parts.frameRate);
  ZuLittleEndian::WriteU16(rateAndCount + 2, parts.frameCount);
  if (!sink(parts.frameRectBytes.data(), parts.frameRectBytes.size()) ||
      !sink(rateAndCount, sizeof rateAndCount)) {
    return false;
  }
  uint8_t header[ZuSwfTagHeader::kLongSize];
  ZuMappedPageReleaser pages;  // a movie written from a mapped file never becomes resident whole
  for (const ZuSwfTag* tag : *parts.tags) {
    if (tag == nullptr) {
      continue;
    }
    const ZuSharedBytes body = tag->GetBody();
    const size_t headerSize = ZuSwfTagHeader::Encode(tag->GetTagType(), body.size(),
                                                     NeedsLongHeader(*tag, body.size()), header);
    if (!sink(header, headerSize) || !sink(body.data(), body.size())) {
      return false;
    }
    pages.PassedEnd(body);
  }
  if (!EndsWithEndTag(*parts.tags)) {
    const size_t headerSize = ZuSwfTagHeader::Encode(ZuSwfTagFactory::kEnd, 0, false, header);
    if (!sink(header, headerSize)) {
      return false;
    }
  }
  return sink(parts.trailingBytes.data(), parts.trailingBytes.size());
}
