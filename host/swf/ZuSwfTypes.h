#pragma once

#include <cstddef>
#include <cstdint>

class ZuBitStream;
class ZuBitWriter;

// Sizes and limits of the file layout, for whoever reads or writes it.
constexpr size_t kZuSwfFileHeaderSize = 8;       // signature, version, declared file length
constexpr size_t kZuSwfRateAndCountSize = 4;     // frame rate and frame count after the stage
constexpr uint32_t kZuSwfMaxFrameCount = 65535;  // what the header's frame count holds
// DEFLATE cannot expand one byte into more than 1032, which bounds any zlib stream's output.
constexpr uint64_t kZuZlibMaxRatio = 1032;
constexpr size_t kZuZlibHeaderSize = 2;  // method and flags, before the DEFLATE data

// Positions and sizes in a movie are in twips: this many to a pixel.
constexpr int32_t kZuTwipsPerPixel = 20;

// A rectangle in twips (1/20 pixel), as the format's RECT record.
struct ZuSwfRect {
  int32_t xMin = 0;
  int32_t xMax = 0;
  int32_t yMin = 0;
  int32_t yMax = 0;

  bool Read(ZuBitStream& in);          // leaves the stream byte-aligned
  void Write(ZuBitWriter& out) const;  // with the fewest bits, then aligned
  bool operator==(const ZuSwfRect&) const = default;
};

// An affine transform, as the format's MATRIX record: scale and rotate-skew in 16.16
// fixed point, translation in twips.
struct ZuSwfMatrix {
  int32_t scaleX = 1 << 16;
  int32_t scaleY = 1 << 16;
  int32_t rotateSkew0 = 0;
  int32_t rotateSkew1 = 0;
  int32_t translateX = 0;
  int32_t translateY = 0;

  bool Read(ZuBitStream& in);
  void Write(ZuBitWriter& out) const;
  bool operator==(const ZuSwfMatrix&) const = default;
};

// A color transform, as the format's CXFORM / CXFORMWITHALPHA records: multiply terms in
// 8.8 fixed point, then add terms.
struct ZuSwfColorTransform {
  bool hasAlpha = false;  // the WITHALPHA form
  int32_t redMult = 256, greenMult = 256, blueMult = 256, alphaMult = 256;
  int32_t redAdd = 0, greenAdd = 0, blueAdd = 0, alphaAdd = 0;

  bool Read(ZuBitStream& in, bool withAlpha);
  void Write(ZuBitWriter& out) const;
  bool operator==(const ZuSwfColorTransform&) const = default;
};
