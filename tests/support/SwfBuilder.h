#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "tests/support/FileBytes.h"

// Builds SWF files byte by byte, so that tests can make well-formed files and every kind
// of broken one: any signature, version and declared length, any tag code with any body
// in either header form, raw bytes in the tag stream, with or without the End tag,
// trailing bytes, and FWS, CWS or ZWS bodies (also ones that do not decompress).
//
// The compression is done here, independently of the library under test: CWS bodies are
// zlib streams of stored deflate blocks, ZWS bodies come from liblzma's .lzma encoder
// (with an end marker).
class SwfBuilder {
 public:
  enum class Header { kAuto, kShort, kLong };  // kAuto: short below 63 bytes

  SwfBuilder& Compression(ZuSwfCompression compression) { return Set(m_compression, compression); }
  // Three bytes written in place of "FWS" / "CWS" / "ZWS"; the body stays uncompressed.
  SwfBuilder& Signature(const std::string& signature) { return Set(m_signature, signature); }
  SwfBuilder& Version(uint8_t version) { return Set(m_version, version); }
  // The header's file length; by default the true uncompressed length.
  SwfBuilder& DeclaredLength(uint32_t length) { return Set(m_declaredLength, length); }
  // The stage rectangle from (0, 0), in pixels.
  SwfBuilder& StageSize(uint32_t width, uint32_t height);
  SwfBuilder& FrameRate(uint16_t fixed8dot8) { return Set(m_frameRate, fixed8dot8); }
  SwfBuilder& FrameCount(uint16_t count) { return Set(m_frameCount, count); }

  SwfBuilder& Tag(uint16_t code, std::vector<uint8_t> body = {}, Header form = Header::kAuto);
  SwfBuilder& ShowFrame() { return Tag(1); }
  // Bytes put into the tag stream as they are (a cut-off tag header, say).
  SwfBuilder& RawTagBytes(std::vector<uint8_t> bytes);
  SwfBuilder& WithoutEnd() { return Set(m_end, false); }
  SwfBuilder& Trailing(std::vector<uint8_t> bytes) { return Set(m_trailing, std::move(bytes)); }

  // CWS: leave the Adler-32 checksum off the zlib stream / put bytes after it.
  SwfBuilder& ZlibWithoutChecksum() { return Set(m_zlibChecksum, false); }
  SwfBuilder& AfterCompressedData(std::vector<uint8_t> bytes) {
    return Set(m_afterCompressed, std::move(bytes));
  }
  // CWS and ZWS: the compressed data, written as given instead of compressing the body.
  SwfBuilder& CompressedData(std::vector<uint8_t> bytes) {
    return Set(m_compressedData, std::move(bytes));
  }

  // The movie as an uncompressed FWS file: what any compressed form expands to.
  std::vector<uint8_t> Uncompressed() const;
  // The file.
  std::vector<uint8_t> Build() const;
  // Writes the file to path and returns path.
  std::string WriteTo(const std::string& path) const;

  // Tag body helpers: a body of size bytes that does not repeat (PatternBytes); a DoAction
  // stop body.
  static std::vector<uint8_t> PatternBody(size_t size, uint8_t seed = 1) {
    return PatternBytes(size, seed);
  }
  static std::vector<uint8_t> StopActionBody() { return {0x07, 0x00}; }

 private:
  template <class Field, class Value>
  SwfBuilder& Set(Field& field, Value value) {
    field = std::move(value);
    return *this;
  }
  std::vector<uint8_t> Body() const;  // after the 8-byte file header, uncompressed
  std::vector<uint8_t> FileHeader(uint32_t length) const;

  ZuSwfCompression m_compression = ZuSwfCompression::kNone;
  std::optional<std::string> m_signature;
  uint8_t m_version = 10;
  std::optional<uint32_t> m_declaredLength;
  std::vector<uint8_t> m_frameRect;
  uint16_t m_frameRate = 15 << 8;
  uint16_t m_frameCount = 1;
  std::vector<uint8_t> m_tagStream;
  bool m_end = true;
  std::vector<uint8_t> m_trailing;
  bool m_zlibChecksum = true;
  std::vector<uint8_t> m_afterCompressed;
  std::optional<std::vector<uint8_t>> m_compressedData;
};

// The uncompressed file image of any SWF file (FWS returned as is), decompressed
// independently of the library under test. Throws std::runtime_error when it cannot.
std::vector<uint8_t> UncompressedSwf(const std::vector<uint8_t>& file);
