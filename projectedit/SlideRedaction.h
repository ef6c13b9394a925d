#pragma once

#include <optional>
#include <string>
#include <utility>

#include "redact/RedactArea.h"

class OpenProjectSession;
class ZuTavoFile;

// What to redact: the rectangle and fill of area, over a range given as frames or as times.
struct RedactOptions {
  int slide = 0;                              // from 1; the file command has none
  RedactArea area;                            // its range is set from frames or from and to
  std::optional<std::pair<int, int>> frames;  // the first and last frame, from 1
  std::optional<double> from, to;             // or the range in seconds
};

// Sets options.area's range from the frames or times of options, for movie, and checks the
// whole area against it; throws EditError (a wrong argument) naming name when it cannot be
// redacted. Times take the frames after from up to the one shown at to, as the timing edits do.
RedactArea CheckedRedactArea(const std::string& name, const ZuTavoFile& movie,
                             const RedactOptions& options);
// Redacts movie in place, or throws EditError naming name.
void RedactMovie(const std::string& name, ZuTavoFile& movie, const RedactArea& area);
// Redacts the movie of a slide of the project as one undoable step (every slide sharing the
// movie shows the result); returns what it did, e.g. "filled 120x16+40+300 in frames 31 to 75
// of slide 2". The stored original stays in the history until the project is purged.
std::string RedactSlide(const OpenProjectSession& session, const RedactOptions& options);
