#include "media/ZuColourQuantizer.h"

#include <libimagequant.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace {

// libimagequant's speed from 1 (best) to 10: 4, its default, keeps its adaptive dithering and
// palette refinement at a cost well below coding the frame.
constexpr int kSpeed = 4;
// Dithering where the colours need it: only frames whose palette misses their colours
// visibly (libimagequant's quality score, 0 to 100, below kDitherBelow) are dithered, at half
// strength, and there only where libimagequant's dither map allows it (smooth areas, not
// edges or noise). Dithering breaks up banding but its noise costs bytes and fidelity: on
// photos at 1280x720, full strength on every frame made the GIF a third larger than none.
constexpr int kDitherBelow = 90;
constexpr float kDithering = 0.5F;

struct ImageDeleter {
  void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct ResultDeleter {
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};
struct HistogramDeleter {
  void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
};

// Pictures of more pixels than this choose their palette from every other pixel of every
// other row: the palette of a large picture hardly changes, and counting its colours was most
// of the time a frame of a photo took.
constexpr int64_t kSampleAbove = int64_t{256} * 1024;

}  // namespace

ZuColourQuantizer::ZuColourQuantizer() : m_attributes(liq_attr_create()) {
  if (m_attributes == nullptr) {
    throw std::bad_alloc();
  }
  liq_set_speed(m_attributes, kSpeed);
}

ZuColourQuantizer::~ZuColourQuantizer() {
  liq_attr_destroy(m_attributes);
}

bool ZuColourQuantizer::AddToHistogram(const uint8_t* rgba, int width, int height,
                                       liq_histogram& histogram) {
  const uint8_t* counted = rgba;
  int countedWidth = width;
  int countedHeight = height;
  if (int64_t{width} * height > kSampleAbove) {
    countedWidth = (width + 1) / 2;
    countedHeight = (height + 1) / 2;
    m_sample.resize(static_cast<size_t>(countedWidth) * static_cast<size_t>(countedHeight) * 4);
    uint8_t* to = m_sample.data();
    for (int y = 0; y < height; y += 2) {
      const uint8_t* row = rgba + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
      for (int x = 0; x < width; x += 2, to += 4) {
        std::memcpy(to, row + ptrdiff_t{4} * x, 4);
      }
    }
    counted = m_sample.data();
  }
  std::unique_ptr<liq_image, ImageDeleter> image(
      liq_image_create_rgba(m_attributes, counted, countedWidth, countedHeight, 0));
  return image && liq_histogram_add_image(&histogram, m_attributes, image.get()) == LIQ_OK;
}

bool ZuColourQuantizer::Quantize(const uint8_t* rgba, int width, int height, bool transparent,
                                 int colours, int first, std::vector<uint32_t>& palette,
                                 uint8_t* indices) {
  // One more entry when some pixels are unchanged: libimagequant gives them an entry of their own.
  if (liq_set_max_colors(m_attributes, colours + (transparent ? 1 : 0)) != LIQ_OK) {
    return false;
  }
  std::unique_ptr<liq_image, ImageDeleter> image(
      liq_image_create_rgba(m_attributes, rgba, width, height, 0));
  std::unique_ptr<liq_histogram, HistogramDeleter> histogram(liq_histogram_create(m_attributes));
  if (!image || !histogram || !AddToHistogram(rgba, width, height, *histogram)) {
    return false;
  }
  liq_result* quantized = nullptr;
  if (liq_histogram_quantize(histogram.get(), m_attributes, &quantized) != LIQ_OK) {
    return false;
  }
  std::unique_ptr<liq_result, ResultDeleter> result(quantized);
  const bool dither = liq_get_quantization_quality(result.get()) < kDitherBelow;
  liq_set_dithering_level(result.get(), dither ? kDithering : 0.0F);
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  m_remapped.resize(count);
  if (liq_write_remapped_image(result.get(), image.get(), m_remapped.data(), count) != LIQ_OK) {
    return false;
  }
  const liq_palette* entries = liq_get_palette(result.get());
  const size_t start = palette.size();
  std::array<uint8_t, 256> index{};
  for (unsigned k = 0; k < entries->count; ++k) {
    const liq_color& colour = entries->entries[k];
    if (colour.a < 128) {
      index[k] = 0;
      continue;
    }
    if (palette.size() - start == static_cast<size_t>(colours)) {
      return false;  // an opaque entry past the limit: libimagequant broke its promise
    }
    index[k] = static_cast<uint8_t>(first + static_cast<int>(palette.size() - start));
    palette.push_back(uint32_t{colour.r} | uint32_t{colour.g} << 8 | uint32_t{colour.b} << 16);
  }
  for (size_t i = 0; i < count; ++i) {
    indices[i] = index[m_remapped[i]];
  }
  return true;
}
