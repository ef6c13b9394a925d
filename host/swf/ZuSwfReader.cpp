#include "host/swf/ZuSwfReader.h"

#include <algorithm>
#include <cctype>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuFileKind.h"
#include "host/swf/ZuSwfSignature.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTagHeader.h"
#include "host/util/ZuLittleEndian.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

// The signature as readable text: printable characters as they are, others as \xNN.
std::string Printable(std::span<const uint8_t> bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : bytes) {
    if (std::isprint(b) && b != '\\') {
      text += static_cast<char>(b);
    } else {
      text += "\\x";
      text += kHex[b >> 4];
      text += kHex[b & 15];
    }
  }
  return text;
}

// Reads the stage rectangle, the frame rate and the frame count that follow the file
// header. Returns the offset of the first tag, or 0 when the data ends inside them.
size_t ReadMovieHeader(const ZuSharedBytes& image, ZuSwfMovieLayout& layout) {
  const std::span<const uint8_t> rest = image.span().subspan(kZuSwfFileHeaderSize);
  ZuBitStream in(rest);
  if (!layout.frameRect.Read(in) || in.HasError()) {
    return 0;
  }
  const size_t rectSize = in.GetBytePosition();
  if (rest.size() < rectSize + kZuSwfRateAndCountSize) {
    return 0;
  }
  layout.frameRectBytes = image.Slice(kZuSwfFileHeaderSize, rectSize);
  layout.frameRate = ZuLittleEndian::ReadU16(&rest[rectSize]);
  layout.frameCount = ZuLittleEndian::ReadU16(&rest[rectSize + 2]);
  return kZuSwfFileHeaderSize + rectSize + kZuSwfRateAndCountSize;
}

std::string TagPlace(size_t index, uint16_t code, size_t offset) {
  return "tag " + std::to_string(index) + " (code " + std::to_string(code) + ") at offset " +
         std::to_string(offset);
}

}  // namespace

bool ZuSwfReader::ReadFileHeader(std::span<const uint8_t> bytes, ZuSwfFileHeader& header,
                                 std::string& error) {
  if (bytes.empty()) {
    error = "empty file";
    return false;
  }
  if (bytes.size() >= ZuSwfSignature::kSize && !ZuSwfSignature::Read(bytes, header.compression)) {
    const ZuFileKind kind =
        ZuFileKind::Of(bytes.first(std::min(bytes.size(), ZuFileKind::kSniffSize)));
    error = *kind.name != 0 ? std::string("not an SWF file: ") + kind.name
                            : "not an SWF file (signature '" +
                                  Printable(bytes.first(ZuSwfSignature::kSize)) + "')";
    return false;
  }
  if (bytes.size() < kZuSwfFileHeaderSize) {
    error = bytes.size() < 3 ? "not an SWF file (only " + std::to_string(bytes.size()) + " bytes)"
                             : "truncated header";
    return false;
  }
  header.version = bytes[3];
  header.declaredLength = ZuLittleEndian::ReadU32(&bytes[4]);
  if (header.version == 0) {
    error = "unsupported SWF version 0";
    return false;
  }
  return true;
}

bool ZuSwfReader::ReadMovie(const ZuSharedBytes& image, ZuSwfMovieLayout& layout,
                            std::string& error) {
  size_t pos = ReadMovieHeader(image, layout);
  if (pos == 0) {
    error = "truncated header";
    return false;
  }
  const std::span<const uint8_t> bytes = image.span();
  ZuMappedPageReleaser pages;
  for (size_t index = 1;; ++index) {
    pages.Passed(image, pos);
    if (pos == bytes.size()) {
      layout.warnings.push_back("the End tag is missing");
      return true;
    }
    ZuSwfTagHeader header;
    if (!header.Decode(bytes.subspan(pos))) {
      error = (bytes.size() - pos < ZuSwfTagHeader::kShortSize
                   ? "tag " + std::to_string(index) + " at offset " + std::to_string(pos)
                   : TagPlace(index, header.code, pos)) +
              " has a truncated header";
      return false;
    }
    const uint16_t code = header.code;
    if (header.TagSize() > bytes.size() - pos) {
      error = TagPlace(index, code, pos) + " runs past the end of the data";
      return false;
    }
    const size_t bodyStart = pos + header.Size();
    const size_t length = header.length;
    if (code == ZuSwfTagFactory::kEnd) {
      layout.hadEndTag = true;
      if (header.TagSize() != ZuSwfTagHeader::kShortSize) {
        layout.warnings.push_back("the End tag has a long header or a body");
      }
      const size_t after = pos + header.TagSize();
      if (after < bytes.size()) {
        layout.trailingBytes = image.Slice(after, bytes.size() - after);
        layout.warnings.push_back(std::to_string(bytes.size() - after) +
                                  " bytes after the End tag");
      }
      return true;
    }
    layout.tags.push_back({code, image.Slice(bodyStart, length), header.longHeader, pos});
    pos += header.TagSize();
  }
}
