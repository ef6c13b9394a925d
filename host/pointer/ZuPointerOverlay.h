#pragma once

#include <memory>

#include "host/image/ZuPixelRect.h"
#include "host/pointer/ZuPointerTrack.h"

class ZuImage;

// Draws a movie's recorded pointer, click rings and key captions over the pictures the player
// makes of it, as settings ask:
// - the pointer: its recorded shape with the hot spot at the recorded position, at 1x (show) or
//   settings.largeScale (large), or not at all (hide);
// - clicks: a ring around the hot spot that grows and fades over about 0.4 s after each press;
// - keys: the keys pressed in the last 1.5 s, as a caption in a readable box at the bottom.
// Times are frames over frameRate, the movie's rate.
//
// The player's picture is never changed: the overlay keeps a picture of its own, in which only
// the area the player drew again and the areas it drew over before and now are brought up to
// date, so a frame costs about the size of what changed.
//
// The overlay owns its copy of the track; pictures it returns stay its own, valid until the
// next call.
class ZuPointerOverlay {
 public:
  ZuPointerOverlay(ZuPointerTrack track, const ZuOverlaySettings& settings, double frameRate);
  ~ZuPointerOverlay();
  ZuPointerOverlay(const ZuPointerOverlay&) = delete;
  ZuPointerOverlay& operator=(const ZuPointerOverlay&) = delete;

  // Whether the settings draw anything over this track's pictures at all; when not, callers may
  // skip the overlay and use the player's pictures as they are.
  bool DrawsAnything() const;

  // The picture of frame (from 1, as the player counts) with the overlay drawn over picture,
  // the player's picture of that frame. redrawn: on entry the area the player drew again since
  // the picture it gave before (the whole stage for its first); on return the area of the
  // returned picture that may differ from the picture this returned before.
  const ZuImage& Draw(const ZuImage& picture, int frame, ZuPixelRect& redrawn);

 private:
  struct State;
  std::unique_ptr<State> m_state;
};
