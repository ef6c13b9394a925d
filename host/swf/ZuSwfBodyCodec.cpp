#include "host/swf/ZuSwfBodyCodec.h"

#include <libdeflate.h>
#include <lzma.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>

#include "host/swf/ZuSwfTypes.h"
#include "host/util/ZuLargeBuffer.h"

namespace {

// Room allowed beyond the ratio limits, for small inputs.
constexpr uint64_t kSlack = uint64_t{1} << 20;
// LZMA reaches a few thousand times its input.
constexpr uint64_t kLzmaMaxRatio = 16384;
// Data that does not compress grows by less than 1/64 under either method (stored blocks
// and chunk headers), plus a fixed header.
constexpr uint64_t kWorstGrowthDivisor = 64;
constexpr int kZlibLevel = 6;
constexpr uint32_t kLzmaPreset = 6;

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};
struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct LzmaStreamEnd {
  void operator()(lzma_stream* s) const { lzma_end(s); }
};

// The first output size to try: what the header declares, unless that is absent or more
// than the data can reach.
uint64_t FirstCapacity(uint64_t declared, uint64_t limit, size_t compressedSize) {
  if (declared == 0) {
    return std::min<uint64_t>(limit, uint64_t{compressedSize} * 4 + 65536);
  }
  return std::min(declared, limit);
}

// One inflation attempt into out[0, capacity). Accepts a stream with trailing bytes, and
// falls back to the bare DEFLATE data when the zlib wrapper's checksum is missing or wrong.
libdeflate_result InflateOnce(libdeflate_decompressor* d, std::span<const uint8_t> in, uint8_t* out,
                              size_t capacity, size_t* produced,
                              std::vector<std::string>* warnings) {
  size_t used = 0;
  libdeflate_result r =
      libdeflate_zlib_decompress_ex(d, in.data(), in.size(), out, capacity, &used, produced);
  if (r == LIBDEFLATE_SUCCESS) {
    if (used < in.size()) {
      warnings->push_back(std::to_string(in.size() - used) +
                          " bytes after the zlib stream are ignored");
    }
    return r;
  }
  if (r == LIBDEFLATE_INSUFFICIENT_SPACE || in.size() <= kZuZlibHeaderSize) {
    return r;
  }
  const std::span<const uint8_t> raw = in.subspan(kZuZlibHeaderSize);
  r = libdeflate_deflate_decompress_ex(d, raw.data(), raw.size(), out, capacity, &used, produced);
  if (r == LIBDEFLATE_SUCCESS) {
    warnings->push_back("the zlib stream's checksum is missing or wrong");
  }
  return r;
}

}  // namespace

uint64_t ZuSwfBodyCodec::ZlibExpansionLimit(size_t compressedSize) {
  return kZuZlibMaxRatio * compressedSize + kSlack;
}

uint64_t ZuSwfBodyCodec::LzmaExpansionLimit(size_t compressedSize) {
  return kLzmaMaxRatio * compressedSize + kSlack;
}

uint64_t ZuSwfBodyCodec::MostCompressedSize(uint64_t bodySize) {
  return bodySize + bodySize / kWorstGrowthDivisor + kSlack;
}

ZuSwfBodyCodec::Expanded ZuSwfBodyCodec::InflateZlib(std::span<const uint8_t> compressed,
                                                     uint64_t declaredBodySize) {
  Expanded result;
  std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
  if (!d) {
    result.error = "out of memory for the zlib decoder";
    return result;
  }
  const uint64_t limit = ZlibExpansionLimit(compressed.size());
  uint64_t capacity = FirstCapacity(declaredBodySize, limit, compressed.size());
  for (;;) {
    std::shared_ptr<uint8_t[]> buffer = ZuAllocateLargeBuffer(kZuSwfFileHeaderSize + capacity);
    if (buffer == nullptr) {
      result.error = "out of memory inflating " + std::to_string(capacity) + " bytes";
      return result;
    }
    size_t produced = 0;
    std::vector<std::string> warnings;
    const libdeflate_result r = InflateOnce(
        d.get(), compressed, buffer.get() + kZuSwfFileHeaderSize, capacity, &produced, &warnings);
    if (r == LIBDEFLATE_SUCCESS) {
      const uint8_t* data = buffer.get();
      result.image = ZuSharedBytes(std::move(buffer), data, kZuSwfFileHeaderSize + produced);
      result.warnings = std::move(warnings);
      return result;
    }
    if (r == LIBDEFLATE_INSUFFICIENT_SPACE && capacity < limit) {
      capacity = std::min(capacity * 2, limit);
      continue;
    }
    result.error = r == LIBDEFLATE_INSUFFICIENT_SPACE
                       ? "zlib body inflates past " + std::to_string(limit) + " bytes"
                       : "zlib body does not inflate";
    return result;
  }
}

ZuSwfBodyCodec::Expanded ZuSwfBodyCodec::DecodeLzma(std::span<const uint8_t> properties,
                                                    std::span<const uint8_t> compressed,
                                                    uint64_t declaredBodySize) {
  Expanded result;
  if (properties.size() != kLzmaPropertiesSize) {
    result.error = "truncated LZMA properties";
    return result;
  }
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_decode(&filters[0], nullptr, properties.data(), properties.size()) !=
      LZMA_OK) {
    result.error = "LZMA properties are invalid";
    return result;
  }
  const uint64_t limit = LzmaExpansionLimit(compressed.size());
  const uint64_t target = declaredBodySize;  // stop here, with or without an end marker
  const uint64_t ceiling = target == 0 ? limit : std::min(target, limit);
  // The decoder never looks further back than the output it made, so a dictionary larger
  // than the output can be is only memory asked for nothing (a few bytes of properties can
  // ask for 4 GiB).
  auto* lzma = static_cast<lzma_options_lzma*>(filters[0].options);
  lzma->dict_size = static_cast<uint32_t>(std::clamp<uint64_t>(
      ceiling, LZMA_DICT_SIZE_MIN, std::max(lzma->dict_size, LZMA_DICT_SIZE_MIN)));
  lzma_stream stream = LZMA_STREAM_INIT;
  const lzma_ret init = lzma_raw_decoder(&stream, filters);
  free(filters[0].options);
  if (init != LZMA_OK) {
    result.error = "LZMA decoder does not start";
    return result;
  }
  std::unique_ptr<lzma_stream, LzmaStreamEnd> guard(&stream);

  // Grown as output arrives (the vector zeroes what it holds, so a false declaration
  // must not size it up front).
  uint64_t capacity = std::min(ceiling, uint64_t{compressed.size()} * 16 + kSlack);
  std::vector<uint8_t> out;
  uint64_t produced = 0;
  stream.next_in = compressed.data();
  stream.avail_in = compressed.size();
  try {
    for (;;) {
      out.resize(kZuSwfFileHeaderSize + capacity);
      stream.next_out = out.data() + kZuSwfFileHeaderSize + produced;
      stream.avail_out = capacity - produced;
      const lzma_ret r = lzma_code(&stream, LZMA_RUN);
      produced = capacity - stream.avail_out;
      if (r == LZMA_STREAM_END) {
        break;
      }
      if (r != LZMA_OK && r != LZMA_BUF_ERROR) {
        result.error = "LZMA body does not decode";
        return result;
      }
      if (target != 0 && produced == target) {
        break;
      }
      if (stream.avail_out > 0 || r == LZMA_BUF_ERROR) {  // no input left
        if (produced == 0) {
          result.error = "LZMA body does not decode";
          return result;
        }
        result.warnings.push_back("LZMA data ends before the declared size");
        break;
      }
      if (capacity >= ceiling) {
        result.error = "LZMA body decodes past " + std::to_string(limit) + " bytes";
        return result;
      }
      capacity = std::min(capacity * 2, ceiling);
    }
  } catch (const std::bad_alloc&) {
    result.error = "out of memory decoding " + std::to_string(capacity) + " bytes";
    return result;
  }
  out.resize(kZuSwfFileHeaderSize + produced);
  result.image = ZuSharedBytes::Adopt(std::move(out));
  return result;
}

bool ZuSwfBodyCodec::DeflateZlib(std::span<const uint8_t> body, std::vector<uint8_t>& out) {
  std::unique_ptr<libdeflate_compressor, CompressorFree> c(libdeflate_alloc_compressor(kZlibLevel));
  if (!c) {
    return false;
  }
  out.resize(libdeflate_zlib_compress_bound(c.get(), body.size()));
  const size_t size =
      libdeflate_zlib_compress(c.get(), body.data(), body.size(), out.data(), out.size());
  out.resize(size);
  return size > 0;
}

bool ZuSwfBodyCodec::EncodeLzma(std::span<const uint8_t> body, std::vector<uint8_t>& properties,
                                std::vector<uint8_t>& out) {
  lzma_options_lzma options{};
  if (lzma_lzma_preset(&options, kLzmaPreset)) {
    return false;
  }
  properties.resize(kLzmaPropertiesSize);
  lzma_filter plain[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  if (lzma_properties_encode(&plain[0], properties.data()) != LZMA_OK) {
    return false;
  }
  // The file header holds the size, so the data goes without an end marker.
  options.ext_flags = 0;
  lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_raw_encoder(&stream, filters) != LZMA_OK) {
    return false;
  }
  std::unique_ptr<lzma_stream, LzmaStreamEnd> guard(&stream);
  out.resize(body.size() / 2 + 65536);
  stream.next_in = body.data();
  stream.avail_in = body.size();
  size_t produced = 0;
  for (;;) {
    stream.next_out = out.data() + produced;
    stream.avail_out = out.size() - produced;
    const lzma_ret r = lzma_code(&stream, LZMA_FINISH);
    produced = out.size() - stream.avail_out;
    if (r == LZMA_STREAM_END) {
      break;
    }
    if (r != LZMA_OK) {
      return false;
    }
    out.resize(out.size() * 2);
  }
  out.resize(produced);
  return true;
}
