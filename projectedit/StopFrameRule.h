#pragma once

#include <cstdint>
#include <string>

// A delete as the engine sees it: frames lastKept + 1 to lastKept + count go.
struct FrameCut {
  int64_t lastKept = 0;
  int64_t count = 0;
};

// The last frame of a movie (the stop frame) is never deleted. A cut that starts there or at
// the movie's end deletes nothing and is refused (EditError naming `name`); one that reaches it is
// shortened by the engine, which the user is to be told once the edit is done: ShortenedCutNote
// says how (empty when the cut was not shortened).
void RefuseCutOfStopFrameOnly(const FrameCut& cut, int64_t frames, const std::string& name);
std::string ShortenedCutNote(const FrameCut& cut, int64_t frames, const std::string& name);

// Why the engine refused a cut that it was asked for, in words.
std::string CutRefusalReason(const FrameCut& cut, int64_t frames);
