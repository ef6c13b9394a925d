#pragma once

#include <string>
#include <vector>

#include "host/pointer/ZuOverlayChoice.h"
#include "host/pointer/ZuPointerTrack.h"

class OpenProjectSession;

// The recorded pointer and keys of a slide's movie, as the command line and the web editor
// show and change them: how the pointer, click rings and key captions are shown (stored in
// the movie, so every slide sharing it shows the same), and the key presses, any of which can
// be taken out (a typed password, say). Each change is an edit of the slide's movie like the
// others: one top-level command, one undoable step, a refusal thrown as EditError with its
// one-line reason, the project then unchanged. Slides, frames and key presses count from 1.

// One key press of a slide's movie: the index-th key pressed since the frame before frame.
struct SlideKeyPress {
  int frame = 0;
  int index = 0;
  double seconds = 0;  // when frame starts
  std::string key;     // as "Ctrl+S", "Return"
};

// What a slide's movie holds of the pointer and the keys.
struct SlidePointer {
  bool recorded = false;  // whether the movie has a track at all
  bool pointer = false;   // whether any frame shows the pointer
  ZuOverlaySettings settings;
  std::vector<SlideKeyPress> keyPresses;
};
SlidePointer ReadSlidePointer(const OpenProjectSession& session, int slide);

// Stores the slide's settings as choice changes them (what it leaves out stays as it is) in
// the slide's movie; returns what the slide shows now, e.g. "slide 2: pointer large (2x),
// clicks on, keys off". Settings that are already so change nothing and make no step in the
// history.
std::string SetSlideOverlay(const OpenProjectSession& session, int slide,
                            const ZuOverlayChoice& choice);

// Takes key press index of frame out of the slide's movie; returns what it did, e.g.
// "removed key \"Ctrl+S\" at 1.2 s (frame 13) from slide 2".
std::string RemoveSlideKeyPress(const OpenProjectSession& session, int slide, int frame, int index);

// "pointer large (2x), clicks on, keys off".
std::string OverlaySettingsText(const ZuOverlaySettings& settings);
// The settings as choice changes them; throws EditError (a wrong argument) for a scale outside
// ZuOverlaySettings::kMinLargeScale to kMaxLargeScale.
ZuOverlaySettings CheckedOverlaySettings(const ZuOverlaySettings& settings,
                                         const ZuOverlayChoice& choice);
