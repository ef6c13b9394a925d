#include "projectedit/StopFrameRule.h"

#include "projectedit/EditError.h"

void RefuseCutOfStopFrameOnly(const FrameCut& cut, int64_t frames, const std::string& name) {
  if (cut.count > 0 && cut.lastKept + 1 == frames) {
    throw EditError(name + ": frame " + std::to_string(frames) +
                    " is the movie's last frame, which is always kept: nothing to delete");
  }
  if (cut.count > 0 && cut.lastKept == frames) {
    throw EditError(name + ": the cut starts at the end of the movie: nothing to delete");
  }
}

std::string ShortenedCutNote(const FrameCut& cut, int64_t frames, const std::string& name) {
  if (cut.lastKept < 0 || cut.lastKept + cut.count < frames) {
    return std::string();
  }
  return name + ": the last frame, " + std::to_string(frames) +
         ", is always kept: deleted frames " + std::to_string(cut.lastKept + 1) + " to " +
         std::to_string(frames - 1);
}

std::string CutRefusalReason(const FrameCut& cut, int64_t frames) {
  if (cut.count == 0) {
    return "the length is less than half a frame: no frame to delete";
  }
  if (cut.count >= frames - 1) {
    return "cannot delete " + std::to_string(cut.count) + " of the movie's " +
           std::to_string(frames) + " frames: at least two must remain";
  }
  if (cut.lastKept + 1 > frames) {
    return "frame " + std::to_string(cut.lastKept + 1) + " is past the movie's last frame, " +
           std::to_string(frames);
  }
  return "the movie's tag list is damaged; nothing was deleted";
}
