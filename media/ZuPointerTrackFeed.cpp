#include "media/ZuPointerTrackFeed.h"

#include <utility>

namespace {

void ClearEvents(ZuPointerFrame& frame) {
  frame.pressed = 0;
  frame.keys.clear();
}

}  // namespace

void ZuPointerTrackFeed::Hold(ZuPointerFrame sample) {
  sample.pressed |= m_held.pressed;
  sample.keys.insert(sample.keys.begin(), m_held.keys.begin(), m_held.keys.end());
  m_held = std::move(sample);
}

void ZuPointerTrackFeed::Fill(int frames) {
  while (static_cast<int>(m_track.frames.size()) < frames) {
    m_track.frames.push_back(m_held);
    ClearEvents(m_held);
  }
}

ZuPointerTrack ZuPointerTrackFeed::Finish(std::vector<ZuPointerShape> shapes, int frames) {
  ClearEvents(m_held);
  Fill(frames);
  m_track.shapes = std::move(shapes);
  return std::move(m_track);
}
