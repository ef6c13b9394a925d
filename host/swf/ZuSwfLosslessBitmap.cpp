#include "host/swf/ZuSwfLosslessBitmap.h"

#include <libdeflate.h>

#include <algorithm>
#include <new>

#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/util/ZuLittleEndian.h"

namespace {

// The fixed fields, then for format 3 the table size byte.
constexpr size_t kHeaderBytes = ZuSwfLosslessBitmap::kHeaderBytes;
constexpr size_t kColorMappedHeaderBytes = kHeaderBytes + 1;
constexpr uint64_t kZlibSlack = 1024;
// Bitmaps of more pixels (1 GiB of RGBA) are refused rather than decoded.
constexpr uint64_t kMaxDecodedPixels = uint64_t{ZuImage::kMaxSide} * ZuImage::kMaxSide;

// Scratch memory that is written in full before it is read, so it is not cleared first.
using Scratch = std::unique_ptr<uint8_t[]>;
Scratch NewScratch(size_t size) {
  return std::make_unique_for_overwrite<uint8_t[]>(size);
}

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// ---- writing ----

// Rows of a bitmap tag hold a whole number of 4-byte words.
size_t PaddedRow(size_t bytes) {
  return (bytes + 3) / 4 * 4;
}

bool FitsInTag(int width, int height) {
  return width > 0 && height > 0 && width <= ZuSwfLosslessBitmap::kMaxSide &&
         height <= ZuSwfLosslessBitmap::kMaxSide;
}

// c x a / 255, rounded to the nearest.
uint8_t Premultiply(uint8_t c, uint8_t a) {
  return static_cast<uint8_t>((static_cast<unsigned>(c) * a + 127) / 255);
}

// Format 5 pixels from RGBA. Lossless2 wants premultiplied ARGB; Lossless has no alpha and
// sets the reserved byte to 0xff.
void ToArgb(const ZuImage& image, bool withAlpha, uint8_t* out) {
  const uint8_t* in = image.GetBuffer();
  const size_t pixels = image.GetBuffSize() / 4;
  for (size_t i = 0; i < pixels; ++i, in += 4, out += 4) {
    const uint8_t a = withAlpha ? in[3] : 0xff;
    if (a == 0xff) {
      out[0] = 0xff;
      out[1] = in[0];
      out[2] = in[1];
      out[3] = in[2];
    } else {
      out[0] = a;
      out[1] = Premultiply(in[0], a);
      out[2] = Premultiply(in[1], a);
      out[3] = Premultiply(in[2], a);
    }
  }
}

// Format 4 rows from DIB rows: the same row length and bit layout, other byte order. The
// unused top bit and the row padding are written as zero.
void ToRgb15(const ZuImage16BPP& image, uint8_t* out) {
  const size_t rowBytes = ZuImage16BPP::GetRowBytes(image.GetWidth());
  const uint8_t* in = image.GetBuffer();
  for (int y = 0; y < image.GetHeight(); ++y) {
    const uint8_t* source = in + rowBytes * y;
    uint8_t* target = out + rowBytes * y;
    std::fill(target, target + rowBytes, 0);
    for (size_t x = 0; x < static_cast<size_t>(image.GetWidth()); ++x) {
      target[2 * x] = source[2 * x + 1] & 0x7f;
      target[2 * x + 1] = source[2 * x];
    }
  }
}

// A compressor of the level, kept for the thread's later bitmaps: a recording compresses
// many small rectangles, and a compressor's tables cost more to set up than they do.
libdeflate_compressor* KeptCompressor(int level) {
  constexpr int kMaxLevel = 12;
  thread_local std::unique_ptr<libdeflate_compressor, CompressorFree> kept[kMaxLevel + 1];
  if (level < 0 || level > kMaxLevel) {
    return nullptr;
  }
  if (!kept[level]) {
    kept[level].reset(libdeflate_alloc_compressor(level));
  }
  return kept[level].get();
}

// A body with the header for (id, format, width, height; for format 3 the table size)
// followed by the zlib stream of raw. Empty when the compressor cannot be had.
std::vector<uint8_t> BuildBody(uint16_t id, uint8_t format, int width, int height,
                               std::span<const uint8_t> raw, int level, size_t tableEntries = 0) {
  libdeflate_compressor* compressor = KeptCompressor(level);
  if (compressor == nullptr) {
    return {};
  }
  const size_t bound = libdeflate_zlib_compress_bound(compressor, raw.size());
  const Scratch compressed = NewScratch(bound);
  const size_t compressedSize =
      libdeflate_zlib_compress(compressor, raw.data(), raw.size(), compressed.get(), bound);
  if (compressedSize == 0) {
    return {};
  }
  std::vector<uint8_t> body(tableEntries > 0 ? kColorMappedHeaderBytes : kHeaderBytes);
  body.reserve(body.size() + compressedSize);
  ZuLittleEndian::WriteU16(&body[0], id);
  body[2] = format;
  ZuLittleEndian::WriteU16(&body[3], static_cast<uint16_t>(width));
  ZuLittleEndian::WriteU16(&body[5], static_cast<uint16_t>(height));
  if (tableEntries > 0) {
    body[7] = static_cast<uint8_t>(tableEntries - 1);
  }
  body.insert(body.end(), compressed.get(), compressed.get() + compressedSize);
  return body;
}

// ---- reading ----

// The fixed fields and what decoding needs past them.
struct DecodedHeader : ZuSwfLosslessBitmap::Header {
  size_t tableEntries = 0;  // format 3
  size_t dataOffset = 0;    // where the zlib data starts
};

bool ReadDecodedHeader(std::span<const uint8_t> body, DecodedHeader* header, std::string* reason) {
  if (!ZuSwfLosslessBitmap::ReadHeader(body, *header)) {
    *reason = "bitmap header is cut short";
    return false;
  }
  header->dataOffset = kHeaderBytes;
  if (header->format == ZuSwfLosslessBitmap::kColorMapped) {
    if (body.size() < kColorMappedHeaderBytes) {
      *reason = "bitmap header is cut short";
      return false;
    }
    header->tableEntries = static_cast<size_t>(body[7]) + 1;
    header->dataOffset = kColorMappedHeaderBytes;
  } else if (header->format != ZuSwfLosslessBitmap::kRgb15 &&
             header->format != ZuSwfLosslessBitmap::kArgb32) {
    *reason = "unknown bitmap format " + std::to_string(header->format);
    return false;
  }
  if (header->width == 0 || header->height == 0) {
    *reason = "bitmap has no pixels (" + std::to_string(header->width) + " x " +
              std::to_string(header->height) + ")";
    return false;
  }
  if (uint64_t{header->width} * header->height > kMaxDecodedPixels) {
    *reason = "bitmap is too large to decode (" + std::to_string(header->width) + " x " +
              std::to_string(header->height) + ")";
    return false;
  }
  return true;
}

size_t TableEntryBytes(bool withAlpha) {
  return withAlpha ? 4 : 3;
}

// Bytes the zlib data must expand to for the picture the header describes.
size_t ExpectedBytes(const DecodedHeader& header, bool withAlpha) {
  if (header.format == ZuSwfLosslessBitmap::kColorMapped) {
    return header.tableEntries * TableEntryBytes(withAlpha) +
           PaddedRow(header.width) * header.height;
  }
  return ZuSwfLosslessBitmap::PixelBytes(static_cast<ZuSwfLosslessBitmap::Format>(header.format),
                                         header.width, header.height);
}

// One attempt at inflating into out[0, capacity). Streams whose zlib checksum is missing
// or wrong are read as the bare DEFLATE data inside them.
libdeflate_result InflateOnce(libdeflate_decompressor* d, std::span<const uint8_t> in, uint8_t* out,
                              size_t capacity, size_t* produced) {
  libdeflate_result r =
      libdeflate_zlib_decompress_ex(d, in.data(), in.size(), out, capacity, nullptr, produced);
  if (r != LIBDEFLATE_BAD_DATA || in.size() <= kZuZlibHeaderSize) {
    return r;
  }
  const std::span<const uint8_t> raw = in.subspan(kZuZlibHeaderSize);
  return libdeflate_deflate_decompress_ex(d, raw.data(), raw.size(), out, capacity, nullptr,
                                          produced);
}

// Inflates in to exactly size bytes; what the stream holds beyond them is ignored. The
// decompressor cannot leave a stream half-way, so a longer stream is inflated whole into
// a larger buffer, of which the first size bytes count.
Scratch InflateExactly(std::span<const uint8_t> in, size_t size, std::string* reason) {
  const uint64_t limit = kZuZlibMaxRatio * in.size() + kZlibSlack;
  if (size > limit) {
    *reason = "bitmap data is shorter than width x height";
    return nullptr;
  }
  std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(libdeflate_alloc_decompressor());
  if (!d) {
    *reason = "out of memory for the zlib decoder";
    return nullptr;
  }
  size_t capacity = size;
  for (;;) {
    Scratch out = NewScratch(capacity);
    size_t produced = 0;
    const libdeflate_result r = InflateOnce(d.get(), in, out.get(), capacity, &produced);
    if (r == LIBDEFLATE_SUCCESS) {
      if (produced < size) {
        *reason = "bitmap data is shorter than width x height";
        return nullptr;
      }
      return out;
    }
    if (r != LIBDEFLATE_INSUFFICIENT_SPACE || capacity >= limit) {
      // Past the limit the stream cannot be what it claims to be.
      *reason = "bitmap data does not inflate";
      return nullptr;
    }
    capacity = static_cast<size_t>(std::min<uint64_t>(uint64_t{capacity} * 2, limit));
  }
}

// Straight colour from premultiplied: c x 255 / a, rounded and kept within 0 to 255.
uint8_t Unpremultiply(uint8_t c, uint8_t a) {
  const unsigned value = (static_cast<unsigned>(c) * 255 + a / 2) / a;
  return static_cast<uint8_t>(std::min(value, 255u));
}

// Writes an RGBA pixel from premultiplied components (straight when a is 255).
void PutPremultiplied(uint8_t* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  if (a == 0xff) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
  } else if (a == 0) {
    out[0] = out[1] = out[2] = 0;
  } else {
    out[0] = Unpremultiply(r, a);
    out[1] = Unpremultiply(g, a);
    out[2] = Unpremultiply(b, a);
  }
  out[3] = a;
}

void FromArgb(const uint8_t* in, bool withAlpha, ZuImage& image) {
  uint8_t* out = image.GetBuffer();
  const size_t pixels = image.GetBuffSize() / 4;
  for (size_t i = 0; i < pixels; ++i, in += 4, out += 4) {
    PutPremultiplied(out, in[1], in[2], in[3], withAlpha ? in[0] : 0xff);
  }
}

void FromRgb15(const uint8_t* in, ZuImage& image) {
  const size_t rowBytes = PaddedRow(2 * static_cast<size_t>(image.GetWidth()));
  for (int y = 0; y < image.GetHeight(); ++y) {
    const uint8_t* source = in + rowBytes * y;
    uint8_t* out = image.Row(y);
    for (int x = 0; x < image.GetWidth(); ++x, source += 2, out += 4) {
      const unsigned v = (static_cast<unsigned>(source[0]) << 8) | source[1];
      out[0] = ZuSwfLosslessBitmap::Widen5((v >> 10) & 0x1f);
      out[1] = ZuSwfLosslessBitmap::Widen5((v >> 5) & 0x1f);
      out[2] = ZuSwfLosslessBitmap::Widen5(v & 0x1f);
      out[3] = 0xff;
    }
  }
}

void FromColorMapped(const uint8_t* in, size_t tableEntries, bool withAlpha, ZuImage& image) {
  // Every index value has an entry: the table's own colours, then the colour that stands
  // for an index past the table.
  uint8_t palette[256][4];
  const uint8_t missing[4] = {0, 0, 0, static_cast<uint8_t>(withAlpha ? 0 : 0xff)};
  for (size_t i = 0; i < 256; ++i) {
    std::copy(missing, missing + 4, palette[i]);
  }
  const size_t entryBytes = TableEntryBytes(withAlpha);
  for (size_t i = 0; i < tableEntries; ++i) {
    const uint8_t* entry = in + i * entryBytes;
    PutPremultiplied(palette[i], entry[0], entry[1], entry[2], withAlpha ? entry[3] : 0xff);
  }
  const uint8_t* indices = in + tableEntries * entryBytes;
  const size_t rowBytes = PaddedRow(static_cast<size_t>(image.GetWidth()));
  for (int y = 0; y < image.GetHeight(); ++y) {
    const uint8_t* source = indices + rowBytes * y;
    uint8_t* out = image.Row(y);
    for (int x = 0; x < image.GetWidth(); ++x, out += 4) {
      std::copy(palette[source[x]], palette[source[x]] + 4, out);
    }
  }
}

void SetReason(std::string* error, const std::string& reason) {
  if (error != nullptr) {
    *error = reason;
  }
}

}  // namespace

std::vector<uint8_t> ZuSwfLosslessBitmap::EncodeArgb(uint16_t id, const ZuImage& image,
                                                     bool withAlpha, int level) {
  if (!FitsInTag(image.GetWidth(), image.GetHeight())) {
    return {};
  }
  try {
    const Scratch raw = NewScratch(image.GetBuffSize());
    ToArgb(image, withAlpha, raw.get());
    return BuildBody(id, kArgb32, image.GetWidth(), image.GetHeight(),
                     {raw.get(), image.GetBuffSize()}, level);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

size_t ZuSwfLosslessBitmap::PixelBytes(Format format, int width, int height) {
  const size_t w = static_cast<size_t>(width);
  return (format == kRgb15 ? PaddedRow(2 * w) : 4 * w) * static_cast<size_t>(height);
}

std::vector<uint8_t> ZuSwfLosslessBitmap::EncodePixels(uint16_t id, Format format, int width,
                                                       int height, std::span<const uint8_t> pixels,
                                                       int level) {
  if (!FitsInTag(width, height) || (format != kRgb15 && format != kArgb32) ||
      pixels.size() != PixelBytes(format, width, height)) {
    return {};
  }
  try {
    return BuildBody(id, format, width, height, pixels, level);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

size_t ZuSwfLosslessBitmap::IndexBytes(int width, int height) {
  return PaddedRow(static_cast<size_t>(width)) * static_cast<size_t>(height);
}

std::vector<uint8_t> ZuSwfLosslessBitmap::EncodeColorMapped(uint16_t id, int width, int height,
                                                            size_t tableEntries,
                                                            std::span<const uint8_t> data,
                                                            int level) {
  constexpr size_t kMaxTableEntries = 256;
  if (!FitsInTag(width, height) || tableEntries < 1 || tableEntries > kMaxTableEntries ||
      data.size() != tableEntries * TableEntryBytes(true) + IndexBytes(width, height)) {
    return {};
  }
  try {
    return BuildBody(id, kColorMapped, width, height, data, level, tableEntries);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::vector<uint8_t> ZuSwfLosslessBitmap::EncodeRgb15(uint16_t id, const ZuImage16BPP& image,
                                                      int level) {
  if (!FitsInTag(image.GetWidth(), image.GetHeight())) {
    return {};
  }
  try {
    const Scratch raw = NewScratch(image.GetBuffSize());
    ToRgb15(image, raw.get());
    return BuildBody(id, kRgb15, image.GetWidth(), image.GetHeight(),
                     {raw.get(), image.GetBuffSize()}, level);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::unique_ptr<ZuImage> ZuSwfLosslessBitmap::Decode(std::span<const uint8_t> body, bool withAlpha,
                                                     std::string* error) {
  std::string reason;
  DecodedHeader header;
  if (!ReadDecodedHeader(body, &header, &reason)) {
    SetReason(error, reason);
    return nullptr;
  }
  try {
    const Scratch raw =
        InflateExactly(body.subspan(header.dataOffset), ExpectedBytes(header, withAlpha), &reason);
    if (!raw) {
      SetReason(error, reason);
      return nullptr;
    }
    auto image = std::make_unique<ZuImage>(header.width, header.height);
    switch (header.format) {
      case kColorMapped:
        FromColorMapped(raw.get(), header.tableEntries, withAlpha, *image);
        break;
      case kRgb15:
        FromRgb15(raw.get(), *image);
        break;
      default:
        FromArgb(raw.get(), withAlpha, *image);
        break;
    }
    return image;
  } catch (const std::bad_alloc&) {
    SetReason(error, "out of memory for a " + std::to_string(header.width) + " x " +
                         std::to_string(header.height) + " bitmap");
    return nullptr;
  }
}

bool ZuSwfLosslessBitmap::ReadHeader(std::span<const uint8_t> body, Header& header) {
  if (body.size() < kHeaderBytes) {
    return false;
  }
  header.id = ZuLittleEndian::ReadU16(&body[0]);
  header.format = body[2];
  header.width = ZuLittleEndian::ReadU16(&body[3]);
  header.height = ZuLittleEndian::ReadU16(&body[5]);
  return true;
}

// ---- the tag's picture operations ----

bool ZuSwfDefineBitsLossless2Tag::CreateImage(const ZuImage& image, ZuBitmapQualityEnum) {
  std::vector<uint8_t> body = ZuSwfLosslessBitmap::EncodeArgb(ReadWordAt(0), image, HasAlpha());
  if (body.empty()) {
    return false;
  }
  SetBody(ZuSharedBytes::Adopt(std::move(body)));
  SetLongHeader(true);
  return true;
}

bool ZuSwfDefineBitsLossless2Tag::CreateImage(const ZuImage16BPP& image) {
  std::vector<uint8_t> body = ZuSwfLosslessBitmap::EncodeRgb15(ReadWordAt(0), image);
  if (body.empty()) {
    return false;
  }
  SetBody(ZuSharedBytes::Adopt(std::move(body)));
  SetLongHeader(true);
  return true;
}

ZuImage* ZuSwfDefineBitsLossless2Tag::DecodeImage(std::string* error) const {
  return ZuSwfLosslessBitmap::Decode(m_body.span(), HasAlpha(), error).release();
}

void ZuSwfLosslessBitmap::RoundAsPremultiplied(uint8_t* rgba, size_t count) {
  for (uint8_t* pixel = rgba; pixel != rgba + 4 * count; pixel += 4) {
    const uint8_t a = pixel[3];
    PutPremultiplied(pixel, Premultiply(pixel[0], a), Premultiply(pixel[1], a),
                     Premultiply(pixel[2], a), a);
  }
}
