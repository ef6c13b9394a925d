// Any bytes as the body of a lossless bitmap tag; the first byte picks DefineBitsLossless
// or DefineBitsLossless2.
#include <memory>
#include <string>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfLosslessBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string error;
  ZuSwfLosslessBitmap::Decode({data + 1, size - 1}, (data[0] & 1) != 0, &error);
  return 0;
}
