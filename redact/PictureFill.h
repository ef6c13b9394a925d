#pragma once

#include <string>

#include "redact/RedactArea.h"

class ZuTavoFile;

// Overwrites the rectangle's pixels with the fill in every bitmap that a placement of frames
// firstFrame to lastFrame shows across the rectangle. The bitmaps must be shown at their own size
// and at whole pixels. A bitmap that a frame outside the range shows too is left as it is: the
// range's placements show a filled copy. Returns "" or why not, in one line
// (the movie may then be part changed: callers work on a copy).
std::string FillPlacedPictures(ZuTavoFile& movie, const RedactArea& area);
