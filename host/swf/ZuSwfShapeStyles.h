#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTypes.h"

class ZuBitStream;

// A colour with straight (not premultiplied) alpha.
struct ZuRgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const ZuRgba&) const = default;
};

struct ZuGradientStop {
  uint8_t ratio = 0;
  ZuRgba color;
};

// One fill style of a shape.
struct ZuFillStyle {
  enum class Kind { kSolid, kLinearGradient, kRadialGradient, kBitmap };
  enum class Spread { kPad, kReflect, kRepeat };

  Kind kind = Kind::kSolid;
  ZuRgba color;                       // kSolid
  ZuSwfMatrix matrix;                 // gradient square or bitmap pixels -> shape twips
  std::vector<ZuGradientStop> stops;  // gradients, by increasing ratio
  Spread spread = Spread::kPad;       // gradients
  uint16_t bitmapId = 0;              // kBitmap
  size_t bitmapIdOffset = 0;          // kBitmap: where the id word stands in the stream
  bool repeat = false;                // kBitmap: tile, or clamp to the edge pixels
  bool smooth = false;                // kBitmap: bilinear, or nearest pixel
};

// One line style: a width in twips (0 is a hairline) and its paint.
struct ZuLineStyle {
  uint16_t width = 0;
  ZuFillStyle fill;  // a solid colour unless the style has a fill of its own
};

// One pair of style arrays of a DefineShape (versions 1 to 4): a shape opens with one, and
// every style-change record that brings new styles holds another.
struct ZuSwfShapeStyles {
  std::vector<ZuFillStyle> fills;
  std::vector<ZuLineStyle> lines;

  // Reads the fill style array, then the line style array, of a shape of version from in.
  // Returns false when in runs out or a fill style has a type the format does not define;
  // for the latter, *reason (when given) says which. The styles read so far are kept.
  bool Read(ZuBitStream& in, int version, std::string* reason);
};
