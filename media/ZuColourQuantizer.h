#pragma once

#include <cstdint>
#include <vector>

struct liq_attr;
struct liq_histogram;

// Chooses a palette for the changed pixels of a frame that has more colours than a GIF table
// holds, and maps the pixels to it, with libimagequant: its palettes follow where the colours
// are, and its dithering spreads the error only where the picture is smooth enough to show
// banding. Unchanged pixels are given with alpha 0: they take no part in the palette and are
// never dithered; they map to the transparent index. Reused from frame to frame.
class ZuColourQuantizer {
 public:
  ZuColourQuantizer();
  ~ZuColourQuantizer();
  ZuColourQuantizer(const ZuColourQuantizer&) = delete;
  ZuColourQuantizer& operator=(const ZuColourQuantizer&) = delete;

  // rgba: width x height pixels, alpha 255 where changed and 0 where not (transparent: some
  // pixel is not). Appends at most colours opaque colours (0xBBGGRR, colours >= 2) to palette
  // and writes each pixel's index: 0 for an unchanged pixel, first + k for the k-th colour
  // appended. False when libimagequant fails.
  bool Quantize(const uint8_t* rgba, int width, int height, bool transparent, int colours,
                int first, std::vector<uint32_t>& palette, uint8_t* indices);

 private:
  // Adds the colours of the picture (of a sample of its pixels when it is large).
  bool AddToHistogram(const uint8_t* rgba, int width, int height, liq_histogram& histogram);

  liq_attr* m_attributes;
  std::vector<uint8_t> m_sample;
  std::vector<uint8_t> m_remapped;
};
