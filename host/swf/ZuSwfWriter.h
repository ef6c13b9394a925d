#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "host/swf/ZuSwfTagSet.h"
#include "host/util/ZuSharedBytes.h"

// What goes after the file header of an SWF file: the movie header and the tags.
struct ZuSwfMovieParts {
  ZuSharedBytes frameRectBytes;  // the encoded stage rectangle
  uint16_t frameRate = 0;        // 8.8 fixed point
  uint16_t frameCount = 0;
  const ZuSwfTagSet* tags = nullptr;  // null slots are skipped
  ZuSharedBytes trailingBytes;        // written after the End tag
};

// Writes the part of an SWF file after its 8-byte file header, in order, to a sink.
// Tag bodies go to the sink straight from their shared bytes.
class ZuSwfWriter {
 public:
  // Receives the bytes; returns false to stop the writing.
  using Sink = std::function<bool(const uint8_t* data, size_t size)>;

  // The size of the whole uncompressed file (file header included). False, with the
  // reason in error, when a tag cannot be written (a code above 1023, a body of 4 GiB),
  // the movie has more frames than the header's count holds, or the file would pass the
  // 4 GiB the header can declare.
  static bool MeasureFile(const ZuSwfMovieParts& parts, uint64_t& fileSize, std::string& error);
  // Writes the movie header, every tag, an End tag unless the last tag is one, and the
  // trailing bytes. False as soon as the sink refuses.
  static bool WriteBody(const ZuSwfMovieParts& parts, const Sink& sink);
};
