#pragma once

#include <string>

#include "host/swf/ZuSwfTag.h"

class ZuImage;
class ZuImage16BPP;
enum ZuBitmapQualityEnum : int;

// A DefineBitsLossless2 (36) or DefineBitsLossless (20) tag: a zlib-compressed bitmap in
// BitmapFormat 3 (colour-mapped), 4 (15-bit RGB) or 5 (32-bit ARGB).
class ZuSwfDefineBitsLossless2Tag : public ZuSwfTag {
 public:
  ZuSwfDefineBitsLossless2Tag(enuTagType type, ZuSharedBytes body, bool longHeader);

  ZuSwfTag* Clone() const override;
  void GetTextRep(ZuString& text) const override;

  // Whether the body holds the header fields; they read 0 when it does not.
  bool HasBitmapHeader() const;
  uint8_t GetBitmapFormat() const;
  uint16_t GetBitmapWidth() const;
  uint16_t GetBitmapHeight() const;
  bool HasAlpha() const { return GetTagType() == ZuSwfTagFactory::kDefineBitsLossless2; }

  // Fill the bitmap from an image, keeping the character id: format 5 from 32-bit
  // pixels, format 4 from 16-bit pixels. Return false when the image cannot be stored
  // (larger than 65535 pixels a side, or empty).
  bool CreateImage(const ZuImage& image, ZuBitmapQualityEnum quality);
  bool CreateImage(const ZuImage16BPP& image);

  // The bitmap as a new RGBA picture (not premultiplied) owned by the caller, or null with a
  // one-line reason in *error: an unknown format, data that does not inflate, or fewer
  // pixels than width x height.
  ZuImage* DecodeImage(std::string* error) const;
};
