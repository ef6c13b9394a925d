#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"

// PNG files in and out, through libpng.
class ZuPng {
 public:
  // Reads a PNG file of any color type and bit depth as 8-bit RGBA. Returns null and sets
  // *error to a one-line reason when the file is missing, not a PNG or damaged.
  static std::unique_ptr<ZuImage> Read(const std::string& path, std::string* error);
  // Writes the picture as an 8-bit RGBA PNG (RGB when every pixel is opaque). The file
  // appears complete or not at all. Returns false and sets *error on failure.
  static bool Write(const ZuImage& image, const std::string& path, std::string* error);
  // Encodes the picture the same way into memory, at a zlib level from 0 (stored: the fastest
  // to write and to read, the largest) to 9. Levels 0 and 1 use no row filters, and level 1
  // looks only for runs: the fastest settings for screen pictures.
  static bool Encode(const ZuImage& image, int level, std::vector<uint8_t>* png,
                     std::string* error);
};
