// Any bytes as an SWF file (plain, zlib or LZMA): load, ask the FMR test, write back.
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZuMemoryStream in(std::vector<uint8_t>(data, data + size));
  ZuTavoFile movie;
  if (movie.LoadFromStream(&in) != kZuSuccess) return 0;
  ZuAnimationUtils::IsFMRSWF(movie);
  ZuMemoryStream out;
  movie.DumpToStream(&out);
  return 0;
}
