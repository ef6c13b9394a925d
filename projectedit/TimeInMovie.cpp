#include "projectedit/TimeInMovie.h"

#include <algorithm>
#include <cstdio>

#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"

std::string SecondsText(double seconds) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  std::string shown = text;
  while (shown.back() == '0') {
    shown.pop_back();
  }
  if (shown.back() == '.') {
    shown.pop_back();
  }
  return shown + " s";
}

std::string ClockText(int64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

void RequireWithinMovie(const std::string& name, double seconds, int64_t frames,
                        unsigned frameRate) {
  if (ZuFrameTime::SecondsToFrames(seconds, frameRate) > frames) {
    throw EditError(name + ": " + SecondsText(seconds) + " is past the end of the movie (" +
                        SecondsText(ZuFrameTime::FramesToSeconds(frames, frameRate)) + ")",
                    EditError::Kind::kWrongArgument);
  }
}

void RequireSplitPoint(const std::string& name, double seconds, int64_t frames,
                       unsigned frameRate) {
  RequireWithinMovie(name, seconds, frames, frameRate);
  const int frame = ZuFrameTime::SecondsToFrames(seconds, frameRate);
  if (frame >= 1 && frame < frames) {
    return;
  }
  if (frames < 2) {
    throw EditError(name + ": the movie has one frame: it cannot be split");
  }
  throw EditError(name + ": cannot split at " + SecondsText(seconds) +
                  ": the cut must leave frames on both sides; give a time from " +
                  SecondsText(ZuFrameTime::FramesToSeconds(1, frameRate)) + " to " +
                  SecondsText(ZuFrameTime::FramesToSeconds(frames - 1, frameRate)));
}

std::pair<int, int> FramesToPlay(const std::string& name, double start, std::optional<double> end,
                                 int64_t frames, unsigned frameRate) {
  constexpr auto kWrong = EditError::Kind::kWrongArgument;
  if (end && *end <= start) {
    throw EditError(name + ": the end time must come after the start time", kWrong);
  }
  const int first = ZuFrameTime::SecondsToFrames(start, frameRate) + 1;
  if (first > frames) {
    throw EditError(name + ": " + SecondsText(start) + " is past the end of the movie (" +
                        SecondsText(ZuFrameTime::FramesToSeconds(frames, frameRate)) + ")",
                    kWrong);
  }
  const int last = end ? static_cast<int>(std::min<int64_t>(
                             frames, ZuFrameTime::SecondsToFrames(*end, frameRate)))
                       : static_cast<int>(frames);
  if (last < first) {
    throw EditError(name + ": the time from " + SecondsText(start) + " to " + SecondsText(*end) +
                        " holds no frame",
                    kWrong);
  }
  return {first, last};
}
