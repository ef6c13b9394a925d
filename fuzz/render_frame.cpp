// Any bytes as an SWF file: load it and render its first and its last frame, with whatever
// pointer track it holds drawn over them, click rings and key captions too.
#include <memory>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuOverlayChoice.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZuMemoryStream in(std::vector<uint8_t>(data, data + size));
  ZuTavoFile movie;
  if (movie.LoadFromStream(&in) != kZuSuccess) return 0;
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(movie)) return 0;
  ZuOverlayChoice everything;
  everything.clicks = everything.keys = true;
  const std::unique_ptr<ZuPointerOverlay> overlay = ZuOverlayForMovie(movie, everything);
  for (int frame : {1, player.GetFrameCount()}) {
    const ZuImage* picture = player.GotoFrameAndPlay(frame) ? player.DrawCurrentScreen() : nullptr;
    ZuPixelRect redrawn = player.GetRedrawnArea();
    if (picture != nullptr && overlay != nullptr) overlay->Draw(*picture, frame, redrawn);
  }
  return 0;
}
