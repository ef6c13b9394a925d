#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfTagFactory.h"

// Helpers of the lossless bitmap tests. Compression goes through zlib, not through the
// library under test, so the tests check the tag layout against an independent codec.

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kLossless = ZuSwfTagFactory::kDefineBitsLossless;
constexpr uint16_t kLossless2 = ZuSwfTagFactory::kDefineBitsLossless2;

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
    throw std::runtime_error("zlib uncompress failed or gave " + std::to_string(produced) +
                             " bytes, not " + std::to_string(expected));
  }
  out.resize(produced);
  return out;
}

// A bitmap tag body: id, format, width, height, [table size byte], then data as given.
inline Bytes BitmapBody(uint16_t id, uint8_t format, uint16_t width, uint16_t height,
                        int tableSizeByte, const Bytes& data) {
  Bytes body = {static_cast<uint8_t>(id & 0xff),
                static_cast<uint8_t>(id >> 8),
                format,
                static_cast<uint8_t>(width & 0xff),
                static_cast<uint8_t>(width >> 8),
                static_cast<uint8_t>(height & 0xff),
                static_cast<uint8_t>(height >> 8)};
  if (tableSizeByte >= 0) body.push_back(static_cast<uint8_t>(tableSizeByte));
  body.insert(body.end(), data.begin(), data.end());
  return body;
}

inline std::unique_ptr<ZuSwfDefineBitsLossless2Tag> BitmapTag(uint16_t code, const Bytes& body) {
  ZuSwfTag* tag = ZuSwfTagFactory::CreateTagFromBody(static_cast<enuTagType>(code),
                                                     ZuSharedBytes::Copy(body), true);
  auto* bitmap = dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(tag);
  if (bitmap == nullptr) {
    delete tag;
    throw std::runtime_error("the factory made no bitmap tag for code " + std::to_string(code));
  }
  return std::unique_ptr<ZuSwfDefineBitsLossless2Tag>(bitmap);
}

inline Bytes BodyBytes(const ZuSwfTag& tag) {
  const ZuSharedBytes body = tag.GetBody();
  return Bytes(body.begin(), body.end());
}

inline Bytes Pixels(const ZuImage& image) {
  return Bytes(image.GetBuffer(), image.GetBuffer() + image.GetBuffSize());
}
