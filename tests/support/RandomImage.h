#pragma once

#include "host/image/ZuImage.h"

// A picture of random bytes from seed; opaque ones have every alpha at 255.
ZuImage RandomImage(int width, int height, bool opaque, unsigned seed);
