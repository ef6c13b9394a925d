#pragma once

#include <optional>
#include <string>
#include <vector>

#include "retime/StillFrames.h"

class OpenProjectSession;

// The timing edits of a slide's movie in an open project: tightening its still stretches and
// speeding up a range, as the command line and the web editor offer them, and the still
// stretches the editor marks. Each edit checks its numbers as the file commands do
// (MovieTiming.h), runs as one top-level command (one transaction, one undoable step; every
// slide sharing the movie gets its new duration) and throws EditError with the one-line
// reason when it is refused; the project is then unchanged. Slides are counted from 1.

struct TightenOptions {
  int slide = 0;
  double maxIdle = 0;  // seconds a still stretch may last
  StillRule rule;
};

struct SpeedOptions {
  int slide = 0;
  double from = 0, to = 0;               // the range, in seconds
  std::optional<double> factor, length;  // one of the two
};

// Cuts every still stretch longer than maxIdle to its first maxIdle seconds; returns what it
// did, e.g. "removed 412 still frames (27.5 s) from slide 2, which now lasts 1:02.4".
std::string TightenSlide(const OpenProjectSession& session, const TightenOptions& options);
// Shows the range faster; returns what it did, as TightenSlide.
std::string SpeedUpSlide(const OpenProjectSession& session, const SpeedOptions& options);

// The still frames of a slide's movie: every stretch (longer than 0 frames), and the frame
// count TightenSlide would leave with maxIdle.
struct SlideStillness {
  int frameCount = 0;
  unsigned frameRate = 0;
  std::vector<StillStretch> stretches;
  int framesAfter = 0;
};
SlideStillness FindSlideStillness(const OpenProjectSession& session, int slide,
                                  const StillRule& rule, double maxIdle);
