#pragma once

#include "host/pointer/ZuPointerTrack.h"

// Keeps a pointer track in step with the frames a ZuConstantRateFeed records: the frames
// recorded for the picture held show the sample taken with that picture. A picture repeated
// for ticks that had none repeats its sample, its presses and keys in the first frame only; a
// picture replaced before its tick passes on its events to the next.
class ZuPointerTrackFeed {
 public:
  // The sample taken with the picture that has just become the held one.
  void Hold(ZuPointerFrame sample);
  // The movie has `frames` frames now: the ones the track lacks show the held sample.
  void Fill(int frames);
  // The track for a movie of `frames` frames, of which the ones not filled (the recorder's
  // hold and stop frames) show the last state with no events.
  ZuPointerTrack Finish(std::vector<ZuPointerShape> shapes, int frames);

 private:
  ZuPointerTrack m_track;
  ZuPointerFrame m_held;
};
