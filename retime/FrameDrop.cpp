// Dropping frames on tags alone. A frame is the run of tags that ends with a ShowFrame; taking
// that ShowFrame out joins the frame's tags to the next frame's, in their order, so the display
// list the next frame shows is the one it showed before.

#include "retime/FrameDrop.h"

#include <iterator>

#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"

namespace {

using Factory = ZuSwfTagFactory;

// The header's two tags belong to no frame.
constexpr int kHeaderTags = 2;

bool IsShowFrame(const ZuSwfTag* tag) {
  return tag != nullptr && tag->GetTagType() == Factory::kShowFrame;
}

// Tags that speak for their own frame only: a stream's sound for that frame's time, a label
// naming it. They go with a dropped frame.
bool BelongsToItsFrame(const ZuSwfTag* tag) {
  return tag != nullptr && (tag->GetTagType() == Factory::kSoundStreamBlock ||
                            tag->GetTagType() == Factory::kFrameLabel);
}

ZuTavoFile::iterator FirstFrameTag(ZuTavoFile& movie) {
  auto first = movie.begin();
  for (int skipped = 0; skipped < kHeaderTags && first != movie.end(); ++skipped) {
    ++first;
  }
  return first;
}

size_t CountFrames(ZuTavoFile& movie) {
  size_t frames = 0;
  for (auto tag = FirstFrameTag(movie); tag != movie.end(); ++tag) {
    frames += IsShowFrame(*tag) ? 1 : 0;
  }
  return frames;
}

// Takes the tag at pos out of the movie and destroys it; returns the position after it.
ZuTavoFile::iterator Destroy(ZuTavoFile& movie, ZuTavoFile::iterator pos) {
  ZuSwfTag* tag = *pos;
  const auto next = movie.EraseTags(pos, std::next(pos));
  delete tag;
  return next;
}

}  // namespace

std::string DropFrames(ZuTavoFile& movie, const std::vector<bool>& keep) {
  const size_t frames = CountFrames(movie);
  if (keep.size() != frames) {
    return "the list of frames to keep has " + std::to_string(keep.size()) +
           " entries for a movie of " + std::to_string(frames) + " frames";
  }
  if (frames == 0 || !keep.front() || !keep.back()) {
    return "the first and the last frame must stay";
  }
  // The recorded pointer goes with its frames; the presses and keys of a dropped frame join
  // the next kept frame, like its placements.
  ZuPointerTrack pointer = ZuTakePointerTrack(movie);
  ZuKeepPointerFrames(pointer, keep);
  size_t frame = 0;  // the frame the walk is in, from 0
  size_t kept = 0;
  for (auto tag = FirstFrameTag(movie); tag != movie.end() && frame < frames;) {
    const bool dropped = !keep[frame];
    if (IsShowFrame(*tag)) {
      ++frame;
      kept += dropped ? 0 : 1;
      tag = dropped ? Destroy(movie, tag) : std::next(tag);
    } else if (dropped && BelongsToItsFrame(*tag)) {
      tag = Destroy(movie, tag);
    } else {
      ++tag;
    }
  }
  movie.SetFrameCount(static_cast<uint16_t>(kept));
  return ZuPutPointerTrack(movie, pointer);
}
