#pragma once

#include <cstdint>

class ZuImage;

// Draws the few things synthetic screens are made of into a ZuImage: filled rectangles,
// text-like glyphs and a mouse pointer. Everything is clipped to the picture, so any
// position and any picture size is safe. Colors are 0xRRGGBB and drawn opaque.
class ZuDemoPainter {
 public:
  // scale: the size of one glyph cell and pointer pixel, in pixels (at least 1).
  ZuDemoPainter(ZuImage& target, int scale);

  void FillRect(int x, int y, int width, int height, uint32_t rgb);
  // A rectangle whose color runs from top to bottom between two colors.
  void FillVerticalGradient(int x, int y, int width, int height, uint32_t top, uint32_t bottom);
  // A glyph for code (any number: each gives its own pattern) with its top left at (x, y).
  void DrawGlyph(int x, int y, uint32_t code, uint32_t rgb);
  // An arrow pointer with its tip at (x, y).
  void DrawPointer(int x, int y);

  // Glyph metrics in pixels at this scale.
  int GetGlyphWidth() const { return 3 * 2 * m_scale; }
  int GetGlyphHeight() const { return 5 * 2 * m_scale; }
  int GetAdvance() const { return GetGlyphWidth() + 2 * m_scale; }
  int GetLineHeight() const { return GetGlyphHeight() + 4 * m_scale; }
  int GetScale() const { return m_scale; }

 private:
  ZuImage& m_target;
  int m_scale;
};
