#include "media/ZuColourQuantizer.h"

#include <libimagequant.h>

#include <array>
#include <memory>
#include <new>

namespace {

// libimagequant's speed from 1 (best) to 10: 4, its default, keeps its adaptive dithering and
// palette refinement at a cost well below coding the frame.
constexpr int kSpeed = 4;
// Half-strength error diffusion, where libimagequant's dither map allows it (smooth areas,
// not edges or noise): it breaks up banding in gradients at far less cost in bytes than full
// strength, whose noise also lowers the fidelity to the picture (measured on photos and
// gradients at 1280x720: 5% smaller than full strength and closer to the picture).
constexpr float kDithering = 0.5F;

struct ImageDeleter {
  void operator()(liq_image* image) const { liq_image_destroy(image); }
};
struct ResultDeleter {
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};

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

bool ZuColourQuantizer::Quantize(const uint8_t* rgba, int width, int height, bool transparent,
                                 int colours, int first, std::vector<uint32_t>& palette,
                                 uint8_t* indices) {
  // One more entry when some pixels are unchanged: libimagequant gives them an entry of their own.
  if (liq_set_max_colors(m_attributes, colours + (transparent ? 1 : 0)) != LIQ_OK) {
    return false;
  }
  std::unique_ptr<liq_image, ImageDeleter> image(
      liq_image_create_rgba(m_attributes, rgba, width, height, 0));
  liq_result* quantized = nullptr;
  if (!image || liq_image_quantize(image.get(), m_attributes, &quantized) != LIQ_OK) {
    return false;
  }
  std::unique_ptr<liq_result, ResultDeleter> result(quantized);
  liq_set_dithering_level(result.get(), kDithering);
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
