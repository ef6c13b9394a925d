#pragma once

#include <memory>
#include <optional>

#include "host/pointer/ZuPointerTrack.h"

class ZuPointerOverlay;
class ZuTavoFile;

// What a render or an export asks of the overlay over a movie's own settings (the ones stored
// with its track): each field given replaces the movie's, each absent one keeps it. Owned by
// the request that carries it.
struct ZuOverlayChoice {
  std::optional<ZuPointerLook> pointer;
  std::optional<double> largeScale;  // only counts when the pointer is drawn large
  std::optional<bool> clicks;
  std::optional<bool> keys;

  // The settings drawn with: own, with what this gives instead.
  ZuOverlaySettings AppliedTo(const ZuOverlaySettings& own) const;
  bool operator==(const ZuOverlayChoice&) const = default;
};

// The overlay for movie's track with its settings as choice changes them; null when it would
// draw nothing (no track, or settings that hide all it holds), so that the player's pictures
// can be used as they are.
std::unique_ptr<ZuPointerOverlay> ZuOverlayForMovie(const ZuTavoFile& movie,
                                                    const ZuOverlayChoice& choice);
