#include "projectedit/MovieTiming.h"

#include <cmath>
#include <cstdint>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/TimeInMovie.h"
#include "retime/FrameDrop.h"
#include "retime/KeptFrames.h"

namespace {

[[noreturn]] void Refuse(const std::string& name, const std::string& why) {
  throw EditError(name + ": " + why, EditError::Kind::kWrongArgument);
}

// "640x480+0+0" as --ignore takes it.
std::string RegionText(const ZuPixelRect& region) {
  return std::to_string(region.Width()) + "x" + std::to_string(region.Height()) + "+" +
         std::to_string(region.left) + "+" + std::to_string(region.top);
}

// Seconds name no frame of a movie slower than one frame a second.
void RequireFrameRate(const std::string& name, const ZuTavoFile& movie) {
  if (movie.GetFrameRate() == 0) {
    throw EditError(name + ": the movie's frame rate is 0: its frames cannot be timed");
  }
}

void DropOrThrow(const std::string& name, ZuTavoFile& movie, const std::vector<bool>& keep) {
  const std::string why = DropFrames(movie, keep);
  if (!why.empty()) {
    throw EditError(name + ": " + why);
  }
}

// The frames of the range, checked; first and last counted from 1.
std::pair<int, int> RangeFrames(const std::string& name, const SpeedRange& range, int64_t frames,
                                unsigned rate) {
  RequireSeconds("from", range.from);
  RequireSeconds("to", range.to);
  if (range.from >= range.to) {
    Refuse(name, "the range " + SecondsText(range.from) + " to " + SecondsText(range.to) +
                     " is empty: give from before to");
  }
  RequireWithinMovie(name, range.to, frames, rate);
  const int first = ZuFrameTime::SecondsToFrames(range.from, rate) + 1;
  const int last = ZuFrameTime::SecondsToFrames(range.to, rate);
  if (last < first) {
    Refuse(name, "the range " + SecondsText(range.from) + " to " + SecondsText(range.to) +
                     " holds no frame");
  }
  return {first, last};
}

}  // namespace

std::string WhyNotFactor(double factor, const std::string& shown) {
  if (std::isfinite(factor) && factor >= 1) {
    return std::string();
  }
  return "give a speed-up factor of at least 1, not '" + shown + "'";
}

std::vector<bool> CheckedStillFrames(const std::string& name, const ZuTavoFile& movie,
                                     const StillRule& rule) {
  const ZuPixelRect stage{0, 0, static_cast<int>(movie.GetWidth()),
                          static_cast<int>(movie.GetHeight())};
  for (const ZuPixelRect& region : rule.ignore) {
    if (region.IsEmpty() || region.Intersect(stage) != region) {
      Refuse(name, "the ignored region " + RegionText(region) + " is not inside the stage (" +
                       std::to_string(stage.right) + "x" + std::to_string(stage.bottom) + ")");
    }
  }
  if (rule.ignoreSmallerThan < 0) {
    Refuse(name, "give a smallest area of 0 pixels or more, not " +
                     std::to_string(rule.ignoreSmallerThan));
  }
  return FindStillFrames(movie, rule);
}

int MaxStillFrames(double maxIdle, unsigned frameRate) {
  RequireSeconds("max-idle", maxIdle);
  return ZuFrameTime::SecondsToFrames(maxIdle, frameRate);
}

int TightenMovie(const std::string& name, ZuTavoFile& movie, double maxIdle,
                 const StillRule& rule) {
  RequireFrameRate(name, movie);
  const int maxStill = MaxStillFrames(maxIdle, movie.GetFrameRate());
  const std::vector<bool> keep = TightenKeeps(CheckedStillFrames(name, movie, rule), maxStill);
  DropOrThrow(name, movie, keep);
  return DroppedCount(keep);
}

int SpeedUpMovie(const std::string& name, ZuTavoFile& movie, const SpeedRange& range) {
  if (range.factor.has_value() == range.length.has_value()) {
    throw EditError("give a factor or a length, one of the two", EditError::Kind::kWrongArgument);
  }
  if (range.factor) {
    const std::string why = WhyNotFactor(*range.factor, EditSecondsText(*range.factor));
    if (!why.empty()) {
      throw EditError("factor: " + why, EditError::Kind::kWrongArgument);
    }
  } else {
    RequireSeconds("length", *range.length);
  }
  RequireFrameRate(name, movie);
  const unsigned rate = movie.GetFrameRate();
  const int frames = movie.GetFrameCount();
  const auto [first, last] = RangeFrames(name, range, frames, rate);
  std::vector<bool> keep;
  if (range.factor) {
    keep = SpeedKeeps(frames, first, last, *range.factor);
  } else {
    const int shown = ZuFrameTime::SecondsToFrames(*range.length, rate);
    const int count = last - first + 1;
    if (shown < 1) {
      Refuse(name, "a length of " + SecondsText(*range.length) + " shows no frame of the range");
    }
    if (shown > count) {
      Refuse(name, "a length of " + SecondsText(*range.length) + " is longer than the range (" +
                       SecondsText(ZuFrameTime::FramesToSeconds(count, rate)) + ")");
    }
    keep = SpeedKeepsCount(frames, first, last, shown);
  }
  DropOrThrow(name, movie, keep);
  return DroppedCount(keep);
}

std::string RemovedFramesText(int dropped, const std::string& what, unsigned frameRate) {
  return "removed " + std::to_string(dropped) + " " + what + " (" +
         SecondsText(ZuFrameTime::FramesToSeconds(dropped, frameRate)) + ")";
}

std::string LengthText(double seconds) {
  const auto tenths = static_cast<int64_t>(std::llround(seconds * 10));
  return ClockText(tenths / 10) + "." + std::to_string(tenths % 10);
}
