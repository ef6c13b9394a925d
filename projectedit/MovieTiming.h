#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "retime/StillFrames.h"

class ZuTavoFile;

// The timing edits of one loaded movie (tightening its still stretches, speeding up a range),
// with the checks of their numbers, shared by the file commands and the project edits so that
// both take and refuse the same. Every refusal throws EditError in one line, "NAME: reason",
// where name is the movie's file or the project's slide; a wrong number is a wrong argument.
// A refused edit leaves the movie as it was.

// A range of a movie to speed up, in seconds, and how: every factor-th frame (factor >= 1)
// or as many frames as fill length seconds. Exactly one of the two is given.
struct SpeedRange {
  double from = 0;
  double to = 0;
  std::optional<double> factor;
  std::optional<double> length;
};

// Empty when factor is a speed-up factor (a finite number of at least 1); else why not,
// naming the value as shown.
std::string WhyNotFactor(double factor, const std::string& shown);

// The still frames of movie under rule (FindStillFrames), once every ignored region is found
// wholly on the stage and the smallest area counted is not negative.
std::vector<bool> CheckedStillFrames(const std::string& name, const ZuTavoFile& movie,
                                     const StillRule& rule);

// How many frames a still stretch keeps when it may last maxIdle seconds.
int MaxStillFrames(double maxIdle, unsigned frameRate);

// Cuts every still stretch of movie longer than maxIdle seconds to its first maxIdle seconds;
// returns how many frames went.
int TightenMovie(const std::string& name, ZuTavoFile& movie, double maxIdle, const StillRule& rule);

// Shows the range of movie faster, dropping frames of it; returns how many went. The range's
// frames are SecondsToFrames(from) + 1 to SecondsToFrames(to): from before to, to within the
// movie, a length of at least one frame and no longer than the range.
int SpeedUpMovie(const std::string& name, ZuTavoFile& movie, const SpeedRange& range);

// "removed 412 still frames (27.5 s)": what an edit dropped, in frames and seconds; what
// names the frames ("still frames", "frames").
std::string RemovedFramesText(int dropped, const std::string& what, unsigned frameRate);

// A length as a clock shows it (ClockText), to the tenth: "1:02.4", "0:07.0".
std::string LengthText(double seconds);
