#include "host/pointer/ZuPointerOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/pointer/ZuOverlaySprite.h"

namespace {

constexpr double kClickSeconds = 0.4;
constexpr double kKeySeconds = 1.5;
// Captions seen lately are kept drawn; past this many the cache starts again.
constexpr size_t kMaxCaptions = 64;

// A sprite placed on the stage. Two placements are the same when they draw the same pixels.
struct Placement {
  const ZuOverlaySprite* sprite = nullptr;
  int x = 0;
  int y = 0;

  ZuPixelRect Area() const { return sprite->PlacedAt(x, y); }
  bool operator==(const Placement&) const = default;
};

// How many frames of rate fit in seconds, at least one.
int FramesIn(double seconds, double rate) {
  return std::max(1, static_cast<int>(std::ceil(seconds * rate - 1e-9)));
}

// rects merged until no two overlap, so that each pixel lies in at most one of them.
std::vector<ZuPixelRect> Disjoint(std::vector<ZuPixelRect> rects) {
  std::erase_if(rects, [](const ZuPixelRect& rect) { return rect.IsEmpty(); });
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t i = 0; i < rects.size() && !merged; ++i) {
      for (size_t j = i + 1; j < rects.size(); ++j) {
        if (rects[i].Intersects(rects[j])) {
          rects[i] = rects[i].Union(rects[j]);
          rects.erase(rects.begin() + static_cast<ptrdiff_t>(j));
          merged = true;
          break;
        }
      }
    }
  }
  return rects;
}

void CopyArea(const ZuImage& from, const ZuPixelRect& area, ZuImage& to) {
  const size_t bytes = static_cast<size_t>(area.Width()) * 4;
  for (int y = area.top; y < area.bottom; ++y) {
    std::memcpy(to.Row(y) + ptrdiff_t{4} * area.left, from.Row(y) + ptrdiff_t{4} * area.left,
                bytes);
  }
}

}  // namespace

struct ZuPointerOverlay::State {
  ZuPointerTrack track;
  ZuOverlaySettings settings;
  double frameRate = 1;
  int clickFrames = 1;  // frames a ring lasts
  int keyFrames = 1;    // frames a key stays in the caption

  std::optional<ZuImage> picture;  // the picture returned last
  std::vector<Placement> drawn;    // what it holds over the player's picture

  std::map<int, ZuOverlaySprite> pointers;  // by shape
  std::map<int, ZuOverlaySprite> rings;     // by frames since the press
  std::map<std::string, ZuOverlaySprite> captions;

  const ZuOverlaySprite& Pointer(int shape) {
    auto found = pointers.find(shape);
    if (found == pointers.end()) {
      found = pointers.emplace(shape, ZuPointerSprite(track.shapes[shape], settings.Scale())).first;
    }
    return found->second;
  }
  const ZuOverlaySprite& Ring(int age) {
    auto found = rings.find(age);
    if (found == rings.end()) {
      const double progress = static_cast<double>(age) / clickFrames;
      found = rings.emplace(age, ZuClickRingSprite(progress, settings.Scale())).first;
    }
    return found->second;
  }
  const ZuOverlaySprite& Caption(const std::string& text, int width, int height) {
    auto found = captions.find(text);
    if (found == captions.end()) {
      if (captions.size() >= kMaxCaptions) {
        captions.clear();
        drawn.clear();  // pointed into the cache; the picture is brought back whole below
        picture.reset();
      }
      found = captions.emplace(text, ZuCaptionSprite(text, width, height)).first;
    }
    return found->second;
  }

  // What the settings draw over frame index (from 0) of a stage of width x height, bottom up.
  std::vector<Placement> PlacementsOf(int index, int width, int height);
  void AddRings(int index, std::vector<Placement>& placements);
  void AddCaption(int index, int width, int height, std::vector<Placement>& placements);
};

std::vector<Placement> ZuPointerOverlay::State::PlacementsOf(int index, int width, int height) {
  std::vector<Placement> placements;
  if (index < 0 || index >= static_cast<int>(track.frames.size())) {
    return placements;
  }
  if (settings.clicks) {
    AddRings(index, placements);
  }
  const ZuPointerFrame& frame = track.frames[index];
  const bool hasShape = frame.shape >= 0 && frame.shape < static_cast<int>(track.shapes.size());
  if (settings.pointer != ZuPointerLook::kHide && frame.shown && hasShape) {
    placements.push_back({&Pointer(frame.shape), frame.x, frame.y});
  }
  if (settings.keys) {
    AddCaption(index, width, height, placements);
  }
  std::erase_if(placements, [width, height](const Placement& placement) {
    return placement.sprite->width == 0 || !placement.Area().Intersects({0, 0, width, height});
  });
  return placements;
}

void ZuPointerOverlay::State::AddRings(int index, std::vector<Placement>& placements) {
  for (int age = std::min(index, clickFrames - 1); age >= 0; --age) {
    const ZuPointerFrame& press = track.frames[index - age];
    if (press.pressed != 0) {
      placements.push_back({&Ring(age), press.x, press.y});
    }
  }
}

void ZuPointerOverlay::State::AddCaption(int index, int width, int height,
                                         std::vector<Placement>& placements) {
  std::string text;
  for (int from = std::max(0, index - keyFrames + 1); from <= index; ++from) {
    for (const std::string& key : track.frames[from].keys) {
      text += (text.empty() ? "" : " ") + key;
    }
  }
  if (!text.empty()) {
    placements.push_back({&Caption(text, width, height), 0, 0});
  }
}

ZuPointerOverlay::ZuPointerOverlay(ZuPointerTrack track, const ZuOverlaySettings& settings,
                                   double frameRate)
    : m_state(std::make_unique<State>()) {
  m_state->track = std::move(track);
  m_state->settings = settings;
  m_state->settings.largeScale = std::clamp(settings.largeScale, ZuOverlaySettings::kMinLargeScale,
                                            ZuOverlaySettings::kMaxLargeScale);
  m_state->frameRate = frameRate > 0 ? frameRate : 1;
  m_state->clickFrames = FramesIn(kClickSeconds, m_state->frameRate);
  m_state->keyFrames = FramesIn(kKeySeconds, m_state->frameRate);
}

ZuPointerOverlay::~ZuPointerOverlay() = default;

bool ZuPointerOverlay::DrawsAnything() const {
  const ZuPointerTrack& track = m_state->track;
  const ZuOverlaySettings& settings = m_state->settings;
  const bool pointer = settings.pointer != ZuPointerLook::kHide && track.HasPointer();
  const bool clicks = settings.clicks &&
                      std::any_of(track.frames.begin(), track.frames.end(),
                                  [](const ZuPointerFrame& frame) { return frame.pressed != 0; });
  const bool keys = settings.keys && track.KeyPressCount() > 0;
  return pointer || clicks || keys;
}

const ZuImage& ZuPointerOverlay::Draw(const ZuImage& picture, int frame, ZuPixelRect& redrawn) {
  State& state = *m_state;
  const int width = picture.GetWidth();
  const int height = picture.GetHeight();
  const ZuPixelRect stage{0, 0, width, height};
  std::vector<Placement> now = state.PlacementsOf(frame - 1, width, height);
  // A placement that stays as it was needs nothing done unless what lies under it changed;
  // the areas of the others, before and now, are drawn again from the player's picture.
  std::vector<ZuPixelRect> dirty{redrawn.Intersect(stage)};
  if (!state.picture || state.picture->GetWidth() != width ||
      state.picture->GetHeight() != height) {
    state.picture = picture;
    state.drawn.clear();
    dirty = {stage};
  }
  for (const Placement& before : state.drawn) {
    if (std::find(now.begin(), now.end(), before) == now.end()) {
      dirty.push_back(before.Area().Intersect(stage));
    }
  }
  for (const Placement& placement : now) {
    if (std::find(state.drawn.begin(), state.drawn.end(), placement) == state.drawn.end()) {
      dirty.push_back(placement.Area().Intersect(stage));
    }
  }
  dirty = Disjoint(std::move(dirty));
  ZuPixelRect changed;
  for (const ZuPixelRect& area : dirty) {
    CopyArea(picture, area, *state.picture);
    for (const Placement& placement : now) {
      ZuDrawSprite(*placement.sprite, placement.x, placement.y, area, *state.picture);
    }
    changed = changed.Union(area);
  }
  state.drawn = std::move(now);
  redrawn = changed;
  return *state.picture;
}
