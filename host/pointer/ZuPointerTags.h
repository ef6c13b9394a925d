#pragma once

#include <cstdint>
#include <string>

#include "host/pointer/ZuPointerTrack.h"

class ZuTavoFile;

// The pointer track inside an SWF movie. The movie shows the pointer as an object of its
// own, so any SWF player shows it where the recording saw it:
//
// - each cursor shape is a DefineBitsLossless2 (format 5, with alpha) and a DefineShape3
//   that draws it with its hot spot at the origin, both defined just before the shape's
//   first placement and never freed;
// - the pointer stands at kZuPointerDepth: a PlaceObject2 in every frame where it moves or
//   changes shape (the matrix's translation is the hot spot; scaled for ZuPointerLook::kLarge,
//   with an alpha of 0 for kHide), a RemoveObject2 where it leaves the stage;
// - buttons and keys are a FrameLabel "zu-input HELD PRESSED", then a tab and a key name per
//   key, in the frames where the buttons change or keys are pressed;
// - settings other than the defaults are a FrameLabel "zu-overlay LOOK SCALE CLICKS KEYS" in
//   frame 1.
// These tags go in front of their frame's ShowFrame, after its pictures.
//
// The edits never work on these tags: they take the track out first (ZuTakePointerTrack),
// edit the frames and the track alike, and put the track back (ZuPutPointerTrack). So the
// pictures an edit renders never hold the pointer, and the engine's key-frame blocks never
// free or remove it.

// Above every depth that pictures take (the recorder's count from 101 per block).
constexpr uint16_t kZuPointerDepth = 65000;

// The movie's track; empty when it has none. Tags that do not decode (a shape whose bitmap
// is missing, a label out of form) are passed over.
ZuPointerTrack ZuReadPointerTrack(const ZuTavoFile& movie);
// The same, taking the track's tags out of the movie and destroying them.
ZuPointerTrack ZuTakePointerTrack(ZuTavoFile& movie);
// Writes track into a movie that holds no track, its shapes taking character ids above the
// movie's highest. A track that shows nothing and holds no events writes nothing. Returns "" on
// success; otherwise why not, one line, and the movie is unchanged: the track must have one frame
// per frame of the movie and the ids must fit below 65536.
std::string ZuPutPointerTrack(ZuTavoFile& movie, const ZuPointerTrack& track);
