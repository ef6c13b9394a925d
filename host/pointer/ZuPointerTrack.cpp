#include "host/pointer/ZuPointerTrack.h"

#include <algorithm>
#include <map>

#include "host/swf/ZuSwfLosslessBitmap.h"

namespace {

struct LookName {
  ZuPointerLook look;
  const char* name;
};
constexpr LookName kLookNames[] = {
    {ZuPointerLook::kShow, "show"},
    {ZuPointerLook::kHide, "hide"},
    {ZuPointerLook::kLarge, "large"},
};

// Clamps [first, first + count) to the track's frames.
void ClampRange(const ZuPointerTrack& track, int& first, int& count) {
  const int size = static_cast<int>(track.frames.size());
  first = std::clamp(first, 0, size);
  count = std::clamp(count, 0, size - first);
}

// Puts the events (presses and keys) of an earlier frame in front of a later frame's.
void JoinEvents(const ZuPointerFrame& earlier, ZuPointerFrame& later) {
  later.pressed |= earlier.pressed;
  later.keys.insert(later.keys.begin(), earlier.keys.begin(), earlier.keys.end());
}

}  // namespace

const char* ZuPointerLookName(ZuPointerLook look) {
  for (const LookName& entry : kLookNames) {
    if (entry.look == look) {
      return entry.name;
    }
  }
  return "show";
}

bool ZuParsePointerLook(const std::string& word, ZuPointerLook& look) {
  for (const LookName& entry : kLookNames) {
    if (word == entry.name) {
      look = entry.look;
      return true;
    }
  }
  return false;
}

bool ZuPointerTrack::HasPointer() const {
  return std::any_of(frames.begin(), frames.end(),
                     [](const ZuPointerFrame& frame) { return frame.shown; });
}

int ZuPointerTrack::KeyPressCount() const {
  size_t count = 0;
  for (const ZuPointerFrame& frame : frames) {
    count += frame.keys.size();
  }
  return static_cast<int>(count);
}

int ZuPointerTrack::AddShape(const ZuPointerShape& given) {
  ZuPointerShape shape = given;
  ZuSwfLosslessBitmap::RoundAsPremultiplied(shape.rgba.data(), shape.rgba.size() / 4);
  const auto found = std::find(shapes.begin(), shapes.end(), shape);
  if (found != shapes.end()) {
    return static_cast<int>(found - shapes.begin());
  }
  shapes.push_back(std::move(shape));
  return static_cast<int>(shapes.size()) - 1;
}

ZuPointerTrack ZuSlicePointerTrack(const ZuPointerTrack& track, int first, int count) {
  ZuPointerTrack slice;
  slice.settings = track.settings;
  ZuInsertPointerFrames(slice, 0, track, first, count);
  return slice;
}

void ZuErasePointerFrames(ZuPointerTrack& track, int first, int count) {
  ClampRange(track, first, count);
  track.frames.erase(track.frames.begin() + first, track.frames.begin() + first + count);
}

void ZuInsertPointerFrames(ZuPointerTrack& track, int at, const ZuPointerTrack& other, int first,
                           int count) {
  ClampRange(other, first, count);
  if (track.frames.empty()) {
    track.settings = other.settings;
  }
  std::map<int, int> shapeIndex;  // other's shape index -> track's
  std::vector<ZuPointerFrame> added(other.frames.begin() + first,
                                    other.frames.begin() + first + count);
  for (ZuPointerFrame& frame : added) {
    if (!frame.shown) {
      continue;
    }
    auto [entry, isNew] = shapeIndex.try_emplace(frame.shape, 0);
    if (isNew) {
      entry->second = track.AddShape(other.shapes.at(static_cast<size_t>(frame.shape)));
    }
    frame.shape = entry->second;
  }
  at = std::clamp(at, 0, static_cast<int>(track.frames.size()));
  track.frames.insert(track.frames.begin() + at, added.begin(), added.end());
}

void ZuKeepPointerFrames(ZuPointerTrack& track, const std::vector<bool>& keep) {
  std::vector<ZuPointerFrame> kept;
  ZuPointerFrame pending;  // events of the frames dropped since the last kept one
  for (size_t i = 0; i < track.frames.size(); ++i) {
    ZuPointerFrame& frame = track.frames[i];
    JoinEvents(pending, frame);
    pending = ZuPointerFrame{};
    if (i < keep.size() && !keep[i]) {
      pending.pressed = frame.pressed;
      pending.keys = std::move(frame.keys);
      continue;
    }
    kept.push_back(std::move(frame));
  }
  if (!kept.empty()) {
    kept.back().pressed |= pending.pressed;
    kept.back().keys.insert(kept.back().keys.end(), pending.keys.begin(), pending.keys.end());
  }
  track.frames = std::move(kept);
}

bool ZuRemoveKeyPress(ZuPointerTrack& track, int frame, int index) {
  if (frame < 0 || static_cast<size_t>(frame) >= track.frames.size()) {
    return false;
  }
  std::vector<std::string>& keys = track.frames[static_cast<size_t>(frame)].keys;
  if (index < 0 || static_cast<size_t>(index) >= keys.size()) {
    return false;
  }
  keys.erase(keys.begin() + index);
  return true;
}
