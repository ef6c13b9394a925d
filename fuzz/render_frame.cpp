// Any bytes as an SWF file: load it and render its first and its last frame.
#include <memory>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZuMemoryStream in(std::vector<uint8_t>(data, data + size));
  ZuTavoFile movie;
  if (movie.LoadFromStream(&in) != kZuSuccess) return 0;
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(movie)) return 0;
  for (int frame : {1, player.GetFrameCount()}) {
    if (player.GotoFrameAndPlay(frame)) std::unique_ptr<ZuImage>(player.GetCurrentScreenImage());
  }
  return 0;
}
