#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class ZuImage;
class ZuImage16BPP;

// The bodies of lossless bitmap tags (DefineBitsLossless and DefineBitsLossless2) and the
// pictures they hold. A body is: character id (u16), BitmapFormat (u8), width (u16),
// height (u16), for format 3 the colour table size minus one (u8), then zlib data.
//
// The zlib data expands to, by format:
//   3  a colour table (RGB entries; RGBA for DefineBitsLossless2), then one table index
//      per pixel, rows padded to 4 bytes;
//   4  16 bits per pixel, big-endian: 1 reserved bit and 5 bits each of red, green, blue;
//      rows padded to 4 bytes;
//   5  4 bytes per pixel: a reserved byte, red, green, blue for DefineBitsLossless; alpha,
//      red, green, blue premultiplied by alpha for DefineBitsLossless2.
// "withAlpha" below tells which of the two tags a body belongs to (true: Lossless2).
//
// ZuSwfDefineBitsLossless2Tag fills and reads its body through these functions; they are
// free of any tag object so that tests and benchmarks can drive them directly.
class ZuSwfLosslessBitmap {
 public:
  enum Format : uint8_t { kColorMapped = 3, kRgb15 = 4, kArgb32 = 5 };

  // The zlib level of written bitmaps, measured for the speed of recording large frames
  // (see EncodeArgb).
  static constexpr int kDefaultLevel = 1;
  // The largest side a bitmap tag can describe.
  static constexpr int kMaxSide = 65535;

  // The fixed fields that open every body, kHeaderBytes of them.
  struct Header {
    uint16_t id = 0;
    uint8_t format = 0;  // a Format, when the body is well formed
    uint16_t width = 0;
    uint16_t height = 0;
  };
  static constexpr size_t kHeaderBytes = 7;
  // Reads the fixed fields; false when body is shorter than they are.
  static bool ReadHeader(std::span<const uint8_t> body, Header& header);

  // A format 5 body holding image, with the given character id. DefineBitsLossless2
  // stores premultiplied ARGB (opaque pixels exactly as they are); DefineBitsLossless
  // stores the colour only. Empty when the image is empty, larger than kMaxSide a side,
  // or the compressor cannot be had. level: the zlib level, 1 to 12.
  static std::vector<uint8_t> EncodeArgb(uint16_t id, const ZuImage& image, bool withAlpha,
                                         int level = kDefaultLevel);
  // A format 4 body holding the 5-5-5 pixels of image. Empty in the same cases.
  static std::vector<uint8_t> EncodeRgb15(uint16_t id, const ZuImage16BPP& image,
                                          int level = kDefaultLevel);

  // A format 4 or 5 body from pixels already laid out as that format's zlib data expands
  // (see above): width x height pixels, format 4 rows padded to 4 bytes. Empty when pixels
  // has another size or in the cases above. Recorders keep their frames in this layout
  // so a rectangle goes to the compressor without a conversion.
  static std::vector<uint8_t> EncodePixels(uint16_t id, Format format, int width, int height,
                                           std::span<const uint8_t> pixels,
                                           int level = kDefaultLevel);
  // Bytes the zlib data of a format 4 or 5 bitmap expands to.
  static size_t PixelBytes(Format format, int width, int height);

  // A format 3 DefineBitsLossless2 body from data laid out as its zlib data expands (see
  // above): tableEntries (1 to 256) RGBA entries, premultiplied, then width x height
  // indices in rows padded to 4 bytes. Empty when data has another size or in the cases
  // above.
  static std::vector<uint8_t> EncodeColorMapped(uint16_t id, int width, int height,
                                                size_t tableEntries, std::span<const uint8_t> data,
                                                int level = kDefaultLevel);
  // Bytes the index rows of a format 3 bitmap take.
  static size_t IndexBytes(int width, int height);
  // A 5-bit channel of a format 4 pixel as the 8 bits the picture shows: the top bits
  // repeat in the low ones, so that 31 becomes 255.
  static constexpr uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

  // Rounds straight RGBA pixels (count of them, in place) to what a format 5
  // DefineBitsLossless2 body gives back: premultiplying drops colour where alpha is low, and
  // fully transparent pixels come back black.
  static void RoundAsPremultiplied(uint8_t* rgba, size_t count);

  // The picture of a body as straight (not premultiplied) RGBA, or null with a one-line
  // reason in *error (which may be null): a cut-off header, an unknown format, no pixels,
  // more than 16384 x 16384 pixels, data that does not inflate or falls short of width x
  // height. Extra data after the pixels is ignored, and so is a missing or wrong zlib
  // checksum; colour indices past the table give transparent black (opaque black without
  // alpha).
  static std::unique_ptr<ZuImage> Decode(std::span<const uint8_t> body, bool withAlpha,
                                         std::string* error);
};
