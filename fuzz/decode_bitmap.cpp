// Any bytes as the body of a lossless bitmap tag; the first byte picks DefineBitsLossless
// or DefineBitsLossless2. A decoded picture has the size its header states; a refusal says why.
#include <cstdlib>
#include <memory>
#include <string>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfLosslessBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string error;
  const std::unique_ptr<ZuImage> image =
      ZuSwfLosslessBitmap::Decode({data + 1, size - 1}, (data[0] & 1) != 0, &error);
  if (image ? image->GetWidth() != (data[4] | data[5] << 8) ||
                  image->GetHeight() != (data[6] | data[7] << 8)
            : error.empty()) {
    std::abort();
  }
  return 0;
}
