#pragma once

#include <cstdint>
#include <vector>

#include "host/image/ZuPixelRect.h"

class ZuImage;

// A clipping layer while the layers it clips are drawn. It keeps the stage pixels of the
// area as they were before those layers, and a mask of the pixels the clipping shape
// covers; Restore puts back every pixel outside the mask, so the clipped layers show only
// inside the shape. Clipping layers nest: each restores its own area in turn.
class ZuClipLayer {
 public:
  // Keeps the pixels of area (inside the stage) and starts with an empty mask.
  ZuClipLayer(ZuImage& stage, const ZuPixelRect& area, uint16_t lastDepth);

  // One byte per pixel of the area, rows top to bottom: non-zero where drawing shows.
  std::vector<uint8_t>& Mask() { return m_mask; }
  // The deepest depth the layer clips.
  uint16_t GetLastDepth() const { return m_lastDepth; }
  // Undoes the drawing outside the mask.
  void Restore();

 private:
  ZuImage& m_stage;
  ZuPixelRect m_area;
  uint16_t m_lastDepth;
  std::vector<uint8_t> m_mask;
  std::vector<uint8_t> m_saved;  // the area's pixels, row after row
};
