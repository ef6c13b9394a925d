#include "host/player/ZuPaint.h"

#include <algorithm>
#include <cmath>

#include "host/image/ZuImage.h"

namespace {

constexpr double kGradientHalfSize = 16384.0;

uint8_t ClampChannel(int64_t value) {
  return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

// The colour between two stops at ratio, with straight-alpha channels mixed linearly.
ZuRgba Mix(const ZuGradientStop& from, const ZuGradientStop& to, int ratio) {
  int span = to.ratio - from.ratio;
  if (span <= 0) return to.color;
  int t = ratio - from.ratio;
  auto channel = [&](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>((a * (span - t) + b * t + span / 2) / span);
  };
  return {channel(from.color.r, to.color.r), channel(from.color.g, to.color.g),
          channel(from.color.b, to.color.b), channel(from.color.a, to.color.a)};
}

}  // namespace

ZuColorTransform::ZuColorTransform(const ZuSwfColorTransform& transform)
    : m_mult{transform.redMult, transform.greenMult, transform.blueMult, transform.alphaMult},
      m_add{transform.redAdd, transform.greenAdd, transform.blueAdd, transform.alphaAdd} {
  if (!transform.hasAlpha) {
    m_mult[3] = 256;
    m_add[3] = 0;
  }
  m_identity = m_mult == std::array<int32_t, 4>{256, 256, 256, 256} &&
               m_add == std::array<int32_t, 4>{0, 0, 0, 0};
}

ZuRgba ZuColorTransform::Apply(ZuRgba color) const {
  if (m_identity) return color;
  auto channel = [&](uint8_t value, int i) {
    return ClampChannel(((int64_t{value} * m_mult[i]) >> 8) + m_add[i]);
  };
  return {channel(color.r, 0), channel(color.g, 1), channel(color.b, 2), channel(color.a, 3)};
}

ZuPaint ZuPaint::Solid(ZuRgba color, const ZuColorTransform& transform) {
  ZuPaint paint;
  paint.m_kind = Kind::kSolid;
  paint.m_color = transform.Apply(color);
  return paint;
}

ZuPaint ZuPaint::Bitmap(const ZuDecodedBitmap& bitmap, const ZuAffine& bitmapToStage, bool repeat,
                        bool smooth, const ZuColorTransform& transform) {
  ZuPaint paint;
  const ZuImage* image = bitmap.image.get();
  if (image == nullptr || image->GetWidth() <= 0 || image->GetHeight() <= 0 ||
      !bitmapToStage.IsInvertible()) {
    return paint;
  }
  paint.m_kind = Kind::kBitmap;
  paint.m_image = image;
  paint.m_stageToSource = bitmapToStage.Inverse();
  paint.m_repeat = repeat;
  paint.m_smooth = smooth;
  paint.m_transform = transform;
  return paint;
}

ZuPaint ZuPaint::Gradient(const ZuFillStyle& fill, const ZuAffine& gradientToStage,
                          const ZuColorTransform& transform) {
  ZuPaint paint;
  if (fill.stops.empty() || !gradientToStage.IsInvertible()) return paint;
  paint.m_kind = Kind::kGradient;
  paint.m_stageToSource = gradientToStage.Inverse();
  paint.m_radial = fill.kind == ZuFillStyle::Kind::kRadialGradient;
  paint.m_spread = fill.spread;
  size_t next = 0;  // the first stop at or after the ratio
  for (int ratio = 0; ratio < 256; ++ratio) {
    while (next < fill.stops.size() && fill.stops[next].ratio < ratio) ++next;
    ZuRgba color;
    if (next == 0) {
      color = fill.stops.front().color;
    } else if (next == fill.stops.size()) {
      color = fill.stops.back().color;
    } else {
      color = Mix(fill.stops[next - 1], fill.stops[next], ratio);
    }
    paint.m_ramp[ratio] = transform.Apply(color);
  }
  return paint;
}

void ZuPaint::FillSpan(uint8_t* row, int y, int x0, int x1) const {
  switch (m_kind) {
    case Kind::kNone:
      return;
    case Kind::kSolid:
      for (int x = x0; x < x1; ++x) ZuBlendOver(row + size_t(x) * 4, m_color);
      return;
    case Kind::kBitmap:
      FillBitmapSpan(row, y, x0, x1);
      return;
    case Kind::kGradient:
      FillGradientSpan(row, y, x0, x1);
      return;
  }
}

void ZuPaint::FillBitmapSpan(uint8_t* row, int y, int x0, int x1) const {
  const ZuAffine& m = m_stageToSource;
  double cy = y + 0.5;
  for (int x = x0; x < x1; ++x) {
    // Each pixel maps its own centre, so the result does not depend on where a span starts.
    double cx = x + 0.5;
    double u = m.MapX(cx, cy);
    double v = m.MapY(cx, cy);
    ZuRgba color = m_smooth ? SampleBilinear(u, v) : SampleNearest(u, v);
    ZuBlendOver(row + size_t(x) * 4, m_transform.Apply(color));
  }
}

// The pixel index for a coordinate: tiled, or held to the edge pixels.
int ZuPaint::WrapOrClamp(double coordinate, int size) const {
  if (!std::isfinite(coordinate)) return 0;
  double index = std::floor(coordinate);
  if (m_repeat) index -= size * std::floor(index / size);
  return static_cast<int>(std::clamp(index, 0.0, double(size - 1)));
}

ZuRgba ZuPaint::SampleNearest(double u, double v) const {
  int x = WrapOrClamp(u, m_image->GetWidth());
  int y = WrapOrClamp(v, m_image->GetHeight());
  const uint8_t* p = m_image->Row(y) + size_t(x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

// Mixes the four pixels around (u, v) with their alpha taken into account, so that
// transparent pixels lend no colour to their neighbours.
ZuRgba ZuPaint::SampleBilinear(double u, double v) const {
  double su = u - 0.5, sv = v - 0.5;
  if (!std::isfinite(su) || !std::isfinite(sv)) return {0, 0, 0, 0};
  double fu = su - std::floor(su), fv = sv - std::floor(sv);
  int width = m_image->GetWidth(), height = m_image->GetHeight();
  int xs[2] = {WrapOrClamp(su, width), WrapOrClamp(su + 1, width)};
  int ys[2] = {WrapOrClamp(sv, height), WrapOrClamp(sv + 1, height)};
  double weights[2][2] = {{(1 - fu) * (1 - fv), fu * (1 - fv)}, {(1 - fu) * fv, fu * fv}};
  double r = 0, g = 0, b = 0, a = 0;
  for (int j = 0; j < 2; ++j) {
    const uint8_t* line = m_image->Row(ys[j]);
    for (int i = 0; i < 2; ++i) {
      const uint8_t* p = line + size_t(xs[i]) * 4;
      double w = weights[j][i] * p[3];
      r += w * p[0];
      g += w * p[1];
      b += w * p[2];
      a += w;
    }
  }
  if (a <= 0) return {0, 0, 0, 0};
  auto channel = [](double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
  };
  return {channel(r / a), channel(g / a), channel(b / a), channel(a)};
}

void ZuPaint::FillGradientSpan(uint8_t* row, int y, int x0, int x1) const {
  const ZuAffine& m = m_stageToSource;
  double cy = y + 0.5;
  for (int x = x0; x < x1; ++x) {
    double cx = x + 0.5;
    double gx = m.MapX(cx, cy), gy = m.MapY(cx, cy);
    double t = m_radial ? std::sqrt(gx * gx + gy * gy) / kGradientHalfSize
                        : (gx + kGradientHalfSize) / (2 * kGradientHalfSize);
    if (!std::isfinite(t)) t = 0;
    if (m_spread == ZuFillStyle::Spread::kRepeat) {
      t -= std::floor(t);
    } else if (m_spread == ZuFillStyle::Spread::kReflect) {
      t = std::fabs(t - 2 * std::floor(t / 2));
      if (t > 1) t = 2 - t;
    }
    t = std::clamp(t, 0.0, 1.0);
    int ratio = static_cast<int>(std::clamp(std::lround(t * 255), 0L, 255L));
    ZuBlendOver(row + size_t(x) * 4, m_ramp[size_t(ratio)]);
  }
}
