#pragma once

#include <array>
#include <cstdint>

#include "host/player/ZuAffine.h"
#include "host/player/ZuDecodedBitmap.h"
#include "host/player/ZuShapeGeometry.h"
#include "host/swf/ZuSwfTypes.h"

class ZuImage;

// A placement's colour transform, applied to straight-alpha colours: each channel is
// multiplied (8.8 fixed point), then offset, then clamped to 0..255.
class ZuColorTransform {
 public:
  ZuColorTransform() = default;
  explicit ZuColorTransform(const ZuSwfColorTransform& transform);

  bool IsIdentity() const { return m_identity; }
  ZuRgba Apply(ZuRgba color) const;

 private:
  std::array<int32_t, 4> m_mult{256, 256, 256, 256};
  std::array<int32_t, 4> m_add{0, 0, 0, 0};
  bool m_identity = true;
};

// Puts color over the opaque stage pixel at dst with straight alpha: opaque colours are
// copied, others mixed as (color * a + dst * (255 - a) + 127) / 255 per channel.
inline void ZuBlendOver(uint8_t* dst, ZuRgba color) {
  if (color.a == 255) {
    dst[0] = color.r;
    dst[1] = color.g;
    dst[2] = color.b;
    dst[3] = 255;
    return;
  }
  if (color.a == 0) {
    return;
  }
  unsigned a = color.a, keep = 255 - a;
  dst[0] = static_cast<uint8_t>((color.r * a + dst[0] * keep + 127) / 255);
  dst[1] = static_cast<uint8_t>((color.g * a + dst[1] * keep + 127) / 255);
  dst[2] = static_cast<uint8_t>((color.b * a + dst[2] * keep + 127) / 255);
  dst[3] = 255;
}

// What fills the covered pixels of one fill or line style: a solid colour, a bitmap
// (tiled or clamped to its edge pixels, bilinear or nearest) or a gradient, through the
// placement's colour transform. Each pixel's colour depends only on its position, so a
// region painted in parts looks the same as painted at once.
class ZuPaint {
 public:
  static ZuPaint Solid(ZuRgba color, const ZuColorTransform& transform);
  // bitmapToStage maps bitmap pixels to stage pixels; it must be invertible.
  static ZuPaint Bitmap(const ZuDecodedBitmap& bitmap, const ZuAffine& bitmapToStage, bool repeat,
                        bool smooth, const ZuColorTransform& transform);
  // gradientToStage maps the gradient square (-16384..16384) to stage pixels.
  static ZuPaint Gradient(const ZuFillStyle& fill, const ZuAffine& gradientToStage,
                          const ZuColorTransform& transform);
  // A paint that draws nothing.
  ZuPaint() = default;

  bool DrawsNothing() const { return m_kind == Kind::kNone; }
  // Paints the pixels [x0, x1) of stage row y; row points at the row's first byte.
  void FillSpan(uint8_t* row, int y, int x0, int x1) const;

 private:
  enum class Kind { kNone, kSolid, kBitmap, kGradient };

  void FillBitmapSpan(uint8_t* row, int y, int x0, int x1) const;
  void FillGradientSpan(uint8_t* row, int y, int x0, int x1) const;
  ZuRgba SampleNearest(double u, double v) const;
  ZuRgba SampleBilinear(double u, double v) const;
  int WrapOrClamp(double coordinate, int size) const;

  Kind m_kind = Kind::kNone;
  ZuRgba m_color;
  ZuColorTransform m_transform;
  ZuAffine m_stageToSource;  // stage pixel -> bitmap pixel or gradient square
  const ZuImage* m_image = nullptr;
  bool m_repeat = false;
  bool m_smooth = false;
  bool m_radial = false;
  ZuFillStyle::Spread m_spread = ZuFillStyle::Spread::kPad;
  std::array<ZuRgba, 256> m_ramp{};  // gradient colours by ratio, transformed
};
