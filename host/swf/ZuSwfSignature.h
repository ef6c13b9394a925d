#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

enum class ZuSwfCompression;

// The three bytes that open an SWF file and say how its body is stored: "FWS" as it is,
// "CWS" zlib-compressed, "ZWS" LZMA-compressed. Every reader, writer and sniffer of movie
// files asks here.
class ZuSwfSignature {
 public:
  static constexpr size_t kSize = 3;

  // The signature of a file stored with the compression.
  static const char* Of(ZuSwfCompression compression);
  // The compression the first kSize bytes name; false (compression untouched) when they are
  // no SWF signature or fewer than kSize.
  static bool Read(std::span<const uint8_t> bytes, ZuSwfCompression& compression);
  // Whether text starts with an SWF signature.
  static bool Opens(std::string_view text);
  // Whether the file at path can be read and starts with an SWF signature.
  static bool OpensFile(const char* path);
};
