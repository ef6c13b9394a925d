#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// Where an edit's time falls in a movie of `frames` frames at `frameRate` frames a second, and
// the refusals that say so in seconds, the unit the user gave. The rule every edit keeps, for
// the file commands and the project edits alike: a time names the frame boundary nearest to
// it (ZuFrameTime), and a time past the movie's end is refused. The end itself is taken by
// insert (the other movie goes in front of the last frame) and is refused by delete (nothing
// to delete) and split (nothing for the second part), each with its own reason.

// "12.13 s": seconds to the hundredth, without trailing zeros.
std::string SecondsText(double seconds);
// "1:05" or, past an hour, "1:01:05": whole seconds as a clock (and a video site) shows them.
std::string ClockText(int64_t seconds);

// Throws EditError (a wrong argument) "NAME: 100 s is past the end of the movie (12.13 s)"
// when seconds names a frame boundary after the last frame.
void RequireWithinMovie(const std::string& name, double seconds, int64_t frames,
                        unsigned frameRate);

// Throws EditError "NAME: <why>" when a split at seconds is past the end (as above) or leaves
// no frame on one side.
void RequireSplitPoint(const std::string& name, double seconds, int64_t frames, unsigned frameRate);

// The frames, first and last counted from 1, that play from start to end seconds into the
// movie (no end: to the movie's end), counted as the edits count them, so that a video of 2 s
// to 5 s shows exactly the frames a delete of those 3 s would cut; an end past the movie's
// end ends with it. Throws EditError (a wrong argument) naming name when end is not after
// start, start is past the end, or the time holds no frame.
std::pair<int, int> FramesToPlay(const std::string& name, double start, std::optional<double> end,
                                 int64_t frames, unsigned frameRate);
