#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/util/ZuSharedBytes.h"

// Compresses and expands the body of an SWF file: everything after the 8-byte file header.
// CWS bodies are zlib streams, ZWS bodies raw LZMA data (the 5 property bytes are kept
// apart, as the file layout stores them).
//
// Expanding never trusts the size the file header declares: the output grows only as far
// as the compressed data can really reach.
class ZuSwfBodyCodec {
 public:
  // The LZMA property bytes a ZWS file stores before the compressed data.
  static constexpr size_t kLzmaPropertiesSize = 5;

  // What an expansion produced: the uncompressed file image (8 bytes left for the file
  // header, which the caller fills, then the body), and what had to be accepted.
  struct Expanded {
    ZuSharedBytes image;
    std::vector<std::string> warnings;
    std::string error;  // empty on success
  };

  // Inflates a zlib stream. declaredBodySize is what the file header promises (its
  // length minus 8). Trailing bytes after the stream, and a missing or wrong checksum,
  // are accepted with a warning.
  static Expanded InflateZlib(std::span<const uint8_t> compressed, uint64_t declaredBodySize);
  // Decodes raw LZMA data with the given 5 property bytes, stopping once
  // declaredBodySize bytes came out, whether or not an end marker follows.
  static Expanded DecodeLzma(std::span<const uint8_t> properties,
                             std::span<const uint8_t> compressed, uint64_t declaredBodySize);

  // Compresses body as a zlib stream (level 6). False when the compressor fails.
  static bool DeflateZlib(std::span<const uint8_t> body, std::vector<uint8_t>& out);
  // Compresses body as raw LZMA data without an end marker (preset 6); properties
  // receives the 5 property bytes. False when the encoder fails.
  static bool EncodeLzma(std::span<const uint8_t> body, std::vector<uint8_t>& properties,
                         std::vector<uint8_t>& out);

  // The largest body a compressed run of the given size may expand to, for each method.
  static uint64_t ZlibExpansionLimit(size_t compressedSize);
  static uint64_t LzmaExpansionLimit(size_t compressedSize);
  // The most bytes that a body of bodySize bytes can take once compressed by either method.
  static uint64_t MostCompressedSize(uint64_t bodySize);
};
