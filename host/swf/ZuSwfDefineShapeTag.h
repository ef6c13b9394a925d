#pragma once

#include <vector>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTypes.h"

// A DefineShape tag, versions 1 to 4 (codes 2, 22, 32, 83): a vector shape with its fill
// and line styles. Bitmap fills name bitmap characters, which RemapIds renumbers.
class ZuSwfDefineShapeTag : public ZuSwfTag {
 public:
  ZuSwfDefineShapeTag(enuTagType type, ZuSharedBytes body, bool longHeader);

  ZuSwfTag* Clone() const override;
  void GetTextRep(ZuString& text) const override;

  ZuSwfRect GetShapeBounds() const;
  // The bitmap characters that the shape's fills use, in the order they appear.
  std::vector<uint16_t> GetBitmapIds() const;

  // Makes this tag a DefineShape3 rectangle from (x, y) of the given size in pixels, filled
  // with bitmap bitmapId drawn at its own size (bitmapWidth x bitmapHeight pixels) as a
  // clipped, unsmoothed fill. Keeps the tag's character id. Called as
  // (bitmap id, 0, 0, width, height, width, height, 0); flags is reserved.
  void CreateShapeForImage(uint16_t bitmapId, int x, int y, int width, int height, int bitmapWidth,
                           int bitmapHeight, int16_t flags);
};
