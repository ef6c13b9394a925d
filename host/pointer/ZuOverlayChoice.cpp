#include "host/pointer/ZuOverlayChoice.h"

#include "host/pointer/ZuPointerOverlay.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"

ZuOverlaySettings ZuOverlayChoice::AppliedTo(const ZuOverlaySettings& own) const {
  ZuOverlaySettings settings = own;
  settings.pointer = pointer.value_or(own.pointer);
  settings.largeScale = largeScale.value_or(own.largeScale);
  settings.clicks = clicks.value_or(own.clicks);
  settings.keys = keys.value_or(own.keys);
  return settings;
}

std::unique_ptr<ZuPointerOverlay> ZuOverlayForMovie(const ZuTavoFile& movie,
                                                    const ZuOverlayChoice& choice) {
  ZuPointerTrack track = ZuReadPointerTrack(movie);
  if (track.Empty()) {
    return nullptr;
  }
  const ZuOverlaySettings settings = choice.AppliedTo(track.settings);
  auto overlay =
      std::make_unique<ZuPointerOverlay>(std::move(track), settings, movie.GetExactFrameRate());
  return overlay->DrawsAnything() ? std::move(overlay) : nullptr;
}
