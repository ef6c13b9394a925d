#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMemoryStream.h"
#include "host/util/ZuSharedBytes.h"
#include "tests/support/FmrMovieBuilder.h"

// Helpers of the SWF tests: bodies written in hex, tags made from bodies, whole files
// loaded from and written to memory, and zlib for bitmap data. Bitmap data goes through
// zlib, not the library under test, so layouts are checked against an independent codec.

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kLossless = ZuSwfTagFactory::kDefineBitsLossless;
constexpr uint16_t kLossless2 = ZuSwfTagFactory::kDefineBitsLossless2;

// "0A 1b ff": pairs of hex digits, spaces between them ignored.
inline Bytes Hex(std::string_view text) {
  Bytes bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ') {
      bytes.push_back(
          static_cast<uint8_t>(std::stoul(std::string(text.substr(i, 2)), nullptr, 16)));
      ++i;
    }
  }
  return bytes;
}

inline std::unique_ptr<ZuSwfTag> LoadTag(uint16_t code, const Bytes& body,
                                         bool longHeader = false) {
  return std::unique_ptr<ZuSwfTag>(ZuSwfTagFactory::CreateTagFromBody(
      static_cast<enuTagType>(code), ZuSharedBytes::Copy(body), longHeader));
}

inline Bytes BodyOf(const ZuSwfTag& tag) {
  const ZuSharedBytes body = tag.GetBody();
  return Bytes(body.begin(), body.end());
}

inline ZuErrorCodeEnum LoadBytes(ZuTavoFile& movie, const Bytes& bytes) {
  ZuMemoryStream stream(ZuSharedBytes::Copy(bytes.data(), bytes.size()));
  return movie.LoadFromStream(&stream);
}

// What DumpToStream writes; empty when it fails.
inline Bytes DumpBytes(ZuTavoFile& movie) {
  ZuMemoryStream stream;
  return movie.DumpToStream(&stream) == kZuSuccess ? stream.TakeBytes() : Bytes();
}

// Whether any load warning contains text.
inline bool HasWarning(const ZuTavoFile& movie, const std::string& text) {
  for (const std::string& warning : movie.GetLoadWarnings()) {
    if (warning.find(text) != std::string::npos) return true;
  }
  return false;
}

inline Bytes ZlibCompress(const Bytes& raw) {
  uLongf size = compressBound(raw.size());
  Bytes out(size);
  if (compress2(out.data(), &size, raw.data(), raw.size(), Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("zlib compress2 failed");
  }
  out.resize(size);
  return out;
}

// The whole zlib stream in, exactly expected bytes out; throws when it does not inflate
// to exactly that many.
inline Bytes ZlibExpand(const uint8_t* data, size_t size, size_t expected) {
  Bytes out(expected + 1);
  uLongf produced = out.size();
  if (uncompress(out.data(), &produced, data, size) != Z_OK || produced != expected) {
    throw std::runtime_error("zlib gave " + std::to_string(produced) + " bytes, not " +
                             std::to_string(expected));
  }
  out.resize(produced);
  return out;
}

// A bitmap tag body: id, format, width, height, [table size byte], then data as given.
inline constexpr auto BitmapBody = &FmrMovieBuilder::BitmapBody;

inline std::unique_ptr<ZuSwfDefineBitsLossless2Tag> BitmapTag(uint16_t code, const Bytes& body) {
  std::unique_ptr<ZuSwfTag> tag = LoadTag(code, body, true);
  if (dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(tag.get()) == nullptr) {
    throw std::runtime_error("the factory made no bitmap tag for code " + std::to_string(code));
  }
  return std::unique_ptr<ZuSwfDefineBitsLossless2Tag>(
      static_cast<ZuSwfDefineBitsLossless2Tag*>(tag.release()));
}

inline Bytes Pixels(const ZuImage& image) {
  return Bytes(image.GetBuffer(), image.GetBuffer() + image.GetBuffSize());
}
