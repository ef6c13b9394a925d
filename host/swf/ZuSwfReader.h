#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTypes.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuSharedBytes.h"

// The first kZuSwfFileHeaderSize bytes of an SWF file.
struct ZuSwfFileHeader {
  ZuSwfCompression compression = ZuSwfCompression::kNone;
  uint8_t version = 0;
  uint32_t declaredLength = 0;  // of the whole uncompressed file, header included
};

// One tag as it stands in the file: its code, its body (a slice of the file image) and
// the header form it was written with.
struct ZuSwfTagRecord {
  uint16_t code = 0;
  ZuSharedBytes body;
  bool longHeader = false;
  size_t offset = 0;  // of the tag header in the uncompressed file
};

// Everything after the file header, split up.
struct ZuSwfMovieLayout {
  ZuSharedBytes frameRectBytes;
  ZuSwfRect frameRect;
  uint16_t frameRate = 0;  // 8.8 fixed point
  uint16_t frameCount = 0;
  std::vector<ZuSwfTagRecord> tags;  // without the End tag
  bool hadEndTag = false;
  ZuSharedBytes trailingBytes;  // after the End tag
  std::vector<std::string> warnings;
};

// Splits an uncompressed SWF file image into its parts without copying any bytes. Knows
// the byte layout only; what the tags mean is the tag classes' business.
class ZuSwfReader {
 public:
  // Reads the file header from the start of bytes. False, with the reason in error,
  // when bytes are not the start of an SWF file.
  static bool ReadFileHeader(std::span<const uint8_t> bytes, ZuSwfFileHeader& header,
                             std::string& error);
  // Reads the movie header and the tag stream of image, the whole uncompressed file (its
  // first 8 bytes are skipped). False, with the reason in error, when the data is cut
  // short inside the header or a tag.
  static bool ReadMovie(const ZuSharedBytes& image, ZuSwfMovieLayout& layout, std::string& error);
};
