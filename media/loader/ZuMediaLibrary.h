#pragma once

#include "media/ZuMediaEntryPoints.h"

// The media library's video functions, the library loaded with dlopen on the first call
// (only video work needs it, and FFmpeg's libraries under it are slow to load). Throws
// ZuMediaError when it cannot be loaded.
const ZuMediaEntryPoints& ZuMediaLibrary();
