#include "tests/support/RandomImage.h"

#include <random>

ZuImage RandomImage(int width, int height, bool opaque, unsigned seed) {
  std::mt19937 random(seed);
  ZuImage image(width, height);
  for (size_t i = 0; i < image.GetBuffSize(); ++i) {
    image.GetBuffer()[i] = (opaque && i % 4 == 3) ? 0xff : static_cast<uint8_t>(random());
  }
  return image;
}
