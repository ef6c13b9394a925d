#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/ZuPixelRect.h"
#include "host/pointer/ZuPointerTrack.h"

class ZuImage;

// One small picture the pointer overlay draws over a frame: the pointer, a click ring or a
// key caption. Its pixels are RGBA with the colours premultiplied by alpha, so drawing it is
// one multiply-add a pixel. (originX, originY) is where its top left pixel goes relative to
// the point it is drawn at (the hot spot, a press, the stage's origin).
struct ZuOverlaySprite {
  int width = 0;
  int height = 0;
  int originX = 0;
  int originY = 0;
  std::vector<uint8_t> rgba;  // premultiplied

  // The stage pixels it covers when drawn at (x, y).
  ZuPixelRect PlacedAt(int x, int y) const {
    return {x + originX, y + originY, x + originX + width, y + originY + height};
  }
};

// The sprites, drawn with cairo (antialiased lines, smooth scaling, a sans font).

// shape with its hot spot at the origin, scaled by scale about it (1: as recorded).
ZuOverlaySprite ZuPointerSprite(const ZuPointerShape& shape, double scale);
// A ring around the origin at progress (0 at the press, 1 when it has faded away): its radius
// grows and its alpha falls as progress goes on. scale enlarges it with a large pointer.
ZuOverlaySprite ZuClickRingSprite(double progress, double scale);
// text in a dark rounded box with light text, its size by stageHeight, placed centred at the
// bottom of a stage of stageWidth x stageHeight (origin relative to the stage's top left).
// A box wider than the stage reaches past its sides: drawing clips it.
ZuOverlaySprite ZuCaptionSprite(const std::string& text, int stageWidth, int stageHeight);

// Draws sprite placed at (x, y) over picture (straight RGBA), only inside clip.
void ZuDrawSprite(const ZuOverlaySprite& sprite, int x, int y, const ZuPixelRect& clip,
                  ZuImage& picture);
