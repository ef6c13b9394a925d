#pragma once

#include <functional>

// Told after each frame of long video work how many frames are done and, when known, how
// many there are in all (0 when not known, as while capturing). Returning false asks the
// work to stop: export and import then throw ZuMediaCancelled; capture ends the movie there.
using ZuMediaProgress = std::function<bool(int done, int total)>;
