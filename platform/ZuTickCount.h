#pragma once

#include "platform/ZuWinTypes.h"

// Milliseconds since an arbitrary start (the first call in the process), wrapping after
// about 49.7 days: the stand-in for the Windows multimedia timer of that name.
DWORD timeGetTime();
