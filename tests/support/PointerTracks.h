#pragma once

#include <cstdint>

#include "host/pointer/ZuPointerTrack.h"

// A pointer track of frames entries for a stage of width x height, the same for the same seed:
// two shapes with soft edges and their hot spots inside, the pointer moving and resting,
// leaving the stage now and then, with presses, held buttons and keys on some frames.
ZuPointerTrack MakePointerTrack(int frames, int width, int height, uint32_t seed);
