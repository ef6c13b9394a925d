#include "host/pointer/ZuOverlaySprite.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "host/image/ZuImage.h"

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// Cairo's ARGB32 pixels are premultiplied 32-bit words in the machine's byte order.
uint32_t PackArgb(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  return (uint32_t{alpha} << 24) | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

uint8_t Premultiplied(uint8_t value, uint8_t alpha) {
  return static_cast<uint8_t>((value * alpha + 127) / 255);
}

// A cleared ARGB32 surface of width x height (at least 1 x 1) and a context drawing on it.
std::pair<Surface, Context> NewCanvas(int width, int height) {
  Surface surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 1), std::max(height, 1)));
  Context context(cairo_create(surface.get()));
  return {std::move(surface), std::move(context)};
}

// The surface's pixels as a sprite's premultiplied RGBA.
ZuOverlaySprite SpriteOf(cairo_surface_t* surface, int originX, int originY) {
  cairo_surface_flush(surface);
  ZuOverlaySprite sprite;
  sprite.width = cairo_image_surface_get_width(surface);
  sprite.height = cairo_image_surface_get_height(surface);
  sprite.originX = originX;
  sprite.originY = originY;
  sprite.rgba.resize(static_cast<size_t>(sprite.width) * sprite.height * 4);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  uint8_t* out = sprite.rgba.data();
  for (int y = 0; y < sprite.height; ++y) {
    const unsigned char* row = data + ptrdiff_t{stride} * y;
    for (int x = 0; x < sprite.width; ++x, out += 4) {
      uint32_t word = 0;
      std::memcpy(&word, row + ptrdiff_t{4} * x, 4);
      out[0] = static_cast<uint8_t>(word >> 16);
      out[1] = static_cast<uint8_t>(word >> 8);
      out[2] = static_cast<uint8_t>(word);
      out[3] = static_cast<uint8_t>(word >> 24);
    }
  }
  return sprite;
}

// shape's pixels on an ARGB32 surface of their own.
Surface ShapeSurface(const ZuPointerShape& shape) {
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, shape.width, shape.height));
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const uint8_t* in = shape.rgba.data();
  for (int y = 0; y < shape.height; ++y) {
    unsigned char* row = data + ptrdiff_t{stride} * y;
    for (int x = 0; x < shape.width; ++x, in += 4) {
      const uint32_t word = PackArgb(Premultiplied(in[0], in[3]), Premultiplied(in[1], in[3]),
                                     Premultiplied(in[2], in[3]), in[3]);
      std::memcpy(row + ptrdiff_t{4} * x, &word, 4);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void RoundedRectangle(cairo_t* context, double x, double y, double width, double height,
                      double radius) {
  constexpr double kQuarter = M_PI / 2;
  cairo_new_sub_path(context);
  cairo_arc(context, x + width - radius, y + radius, radius, -kQuarter, 0);
  cairo_arc(context, x + width - radius, y + height - radius, radius, 0, kQuarter);
  cairo_arc(context, x + radius, y + height - radius, radius, kQuarter, 2 * kQuarter);
  cairo_arc(context, x + radius, y + radius, radius, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(context);
}

}  // namespace

ZuOverlaySprite ZuPointerSprite(const ZuPointerShape& shape, double scale) {
  const size_t pixels = static_cast<size_t>(shape.width) * shape.height;
  if (shape.width <= 0 || shape.height <= 0 || shape.rgba.size() != pixels * 4) {
    return {};
  }
  if (scale == 1.0) {
    ZuOverlaySprite sprite{shape.width, shape.height, -shape.hotX, -shape.hotY, shape.rgba};
    for (size_t i = 0; i < sprite.rgba.size(); i += 4) {
      for (size_t c = 0; c < 3; ++c) {
        sprite.rgba[i + c] = Premultiplied(sprite.rgba[i + c], sprite.rgba[i + 3]);
      }
    }
    return sprite;
  }
  // The hot spot's pixel scales to the pixel at its scaled position, which becomes the origin.
  const int width = static_cast<int>(std::ceil(shape.width * scale));
  const int height = static_cast<int>(std::ceil(shape.height * scale));
  const Surface source = ShapeSurface(shape);
  auto [surface, context] = NewCanvas(width, height);
  cairo_scale(context.get(), scale, scale);
  cairo_set_source_surface(context.get(), source.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(context.get()), CAIRO_FILTER_GOOD);
  cairo_paint(context.get());
  return SpriteOf(surface.get(), -static_cast<int>(std::lround(shape.hotX * scale)),
                  -static_cast<int>(std::lround(shape.hotY * scale)));
}

ZuOverlaySprite ZuClickRingSprite(double progress, double scale) {
  constexpr double kStartRadius = 6;
  constexpr double kEndRadius = 26;
  constexpr double kLineWidth = 3;
  progress = std::clamp(progress, 0.0, 1.0);
  const double radius = (kStartRadius + (kEndRadius - kStartRadius) * progress) * scale;
  const double line = kLineWidth * scale;
  const int half = static_cast<int>(std::ceil(radius + line)) + 1;
  auto [surface, context] = NewCanvas(2 * half + 1, 2 * half + 1);
  cairo_t* cr = context.get();
  const double alpha = 1.0 - progress;
  cairo_arc(cr, half + 0.5, half + 0.5, radius, 0, 2 * M_PI);
  // A dark edge under a bright ring keeps it visible on light and dark screens alike.
  cairo_set_line_width(cr, line + 2);
  cairo_set_source_rgba(cr, 0.1, 0.1, 0.1, 0.6 * alpha);
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, line);
  cairo_set_source_rgba(cr, 1.0, 0.8, 0.1, alpha);
  cairo_stroke(cr);
  return SpriteOf(surface.get(), -half, -half);
}

ZuOverlaySprite ZuCaptionSprite(const std::string& text, int stageWidth, int stageHeight) {
  const double fontSize = std::max(10.0, stageHeight * 0.045);
  const double padding = fontSize * 0.5;
  const double margin = std::max(2.0, stageHeight * 0.03);
  auto [probe, probeContext] = NewCanvas(1, 1);
  const auto selectFont = [fontSize](cairo_t* cr) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, fontSize);
  };
  selectFont(probeContext.get());
  cairo_text_extents_t extents;
  cairo_text_extents(probeContext.get(), text.c_str(), &extents);
  cairo_font_extents_t font;
  cairo_font_extents(probeContext.get(), &font);
  const int width = static_cast<int>(std::ceil(extents.x_advance + 2 * padding));
  const int height = static_cast<int>(std::ceil(font.ascent + font.descent + 2 * padding));
  auto [surface, context] = NewCanvas(width, height);
  cairo_t* cr = context.get();
  RoundedRectangle(cr, 0, 0, width, height, std::min(padding, height / 2.0));
  cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
  cairo_fill(cr);
  selectFont(cr);
  cairo_set_source_rgba(cr, 0.97, 0.97, 0.97, 1.0);
  cairo_move_to(cr, padding, padding + font.ascent);
  cairo_show_text(cr, text.c_str());
  const int left = (stageWidth - width) / 2;
  const int top = stageHeight - static_cast<int>(std::lround(margin)) - height;
  return SpriteOf(surface.get(), left, std::max(0, top));
}

void ZuDrawSprite(const ZuOverlaySprite& sprite, int x, int y, const ZuPixelRect& clip,
                  ZuImage& picture) {
  const ZuPixelRect area = sprite.PlacedAt(x, y).Intersect(clip).Intersect(
      {0, 0, picture.GetWidth(), picture.GetHeight()});
  if (area.IsEmpty()) {
    return;
  }
  const int left = x + sprite.originX;
  const int top = y + sprite.originY;
  for (int row = area.top; row < area.bottom; ++row) {
    const uint8_t* in =
        sprite.rgba.data() + (ptrdiff_t{row - top} * sprite.width + (area.left - left)) * 4;
    uint8_t* out = picture.Row(row) + ptrdiff_t{4} * area.left;
    for (int column = area.left; column < area.right; ++column, in += 4, out += 4) {
      const int alpha = in[3];
      if (alpha == 0) {
        continue;
      }
      const int keep = 255 - alpha;
      if (out[3] == 255) {
        for (int c = 0; c < 3; ++c) {
          out[c] = static_cast<uint8_t>(in[c] + (out[c] * keep + 127) / 255);
        }
        continue;
      }
      // Under a picture that is not opaque, the colours mix by how much each covers.
      const int under = (out[3] * keep + 127) / 255;
      const int total = alpha + under;
      for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<uint8_t>(
            std::min(255, (in[c] * 255 + out[c] * under + total / 2) / std::max(total, 1)));
      }
      out[3] = static_cast<uint8_t>(total);
    }
  }
}
