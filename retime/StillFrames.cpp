// Finding still frames: one walk over the tags, keeping for every depth of the display list
// the box of what stands there, so that a removal or a move knows which pixels it touches.

#include "retime/StillFrames.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlacementFields.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTagInfo.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/swf/ZuTavoFile.h"

namespace {

using Factory = ZuSwfTagFactory;

// What stands at a depth: the character and the matrix it is drawn with.
struct Placed {
  std::optional<uint16_t> character;
  ZuSwfMatrix matrix;
};

// The stage pixels a shape of bounds (twips) can cover under matrix: the box of its four
// corners, widened to whole pixels, inside the stage.
ZuPixelRect PixelBox(const ZuSwfRect& bounds, const ZuSwfMatrix& matrix, const ZuPixelRect& stage) {
  constexpr double kFixed = 65536.0;
  const double a = matrix.scaleX / kFixed;
  const double b = matrix.rotateSkew0 / kFixed;
  const double c = matrix.rotateSkew1 / kFixed;
  const double d = matrix.scaleY / kFixed;
  double left = INFINITY;
  double top = INFINITY;
  double right = -INFINITY;
  double bottom = -INFINITY;
  for (const double x : {double(bounds.xMin), double(bounds.xMax)}) {
    for (const double y : {double(bounds.yMin), double(bounds.yMax)}) {
      const double mappedX = a * x + c * y + matrix.translateX;
      const double mappedY = b * x + d * y + matrix.translateY;
      left = std::min(left, mappedX);
      right = std::max(right, mappedX);
      top = std::min(top, mappedY);
      bottom = std::max(bottom, mappedY);
    }
  }
  const auto pixels = [](double twips) { return twips / kZuTwipsPerPixel; };
  const auto clamp = [](double value, int low, int high) {
    return static_cast<int>(std::clamp(value, double(low), double(high)));
  };
  return {clamp(std::floor(pixels(left)), stage.left, stage.right),
          clamp(std::floor(pixels(top)), stage.top, stage.bottom),
          clamp(std::ceil(pixels(right)), stage.left, stage.right),
          clamp(std::ceil(pixels(bottom)), stage.top, stage.bottom)};
}

bool IsIgnored(const ZuPixelRect& change, const StillRule& rule) {
  if (change.IsEmpty() || change.Area() < rule.ignoreSmallerThan) {
    return true;
  }
  return std::any_of(rule.ignore.begin(), rule.ignore.end(),
                     [&](const ZuPixelRect& region) { return region.Intersect(change) == change; });
}

// Walks the tags in order, tracking the display list's boxes, and tells which frames make
// a change the rule counts.
class StillnessWalk {
 public:
  StillnessWalk(const ZuTavoFile& movie, const StillRule& rule)
      : m_rule(rule),
        m_stage{0, 0, static_cast<int>(movie.GetWidth()), static_cast<int>(movie.GetHeight())} {}

  std::vector<bool> Run(const ZuTavoFile& movie) {
    std::vector<bool> still;
    bool changed = false;
    int index = 0;
    for (const ZuSwfTag* tag : movie) {
      // The first two tags are the header's: they belong to no frame.
      if (tag == nullptr || index++ < 2) {
        continue;
      }
      if (tag->GetTagType() == Factory::kShowFrame) {
        still.push_back(!changed && !still.empty());
        changed = false;
        continue;
      }
      changed = Visit(*tag) || changed;
    }
    return still;
  }

 private:
  // Whether the tag makes a change the rule counts.
  bool Visit(const ZuSwfTag& tag) {
    const auto type = static_cast<Factory::enuTagType>(tag.GetTagType());
    switch (ZuSwfGetTagInfo(type).tagClass) {
      case ZuSwfTagClass::kShape:
        m_shapeBounds[tag.GetCharacterId()] =
            static_cast<const ZuSwfDefineShapeTag&>(tag).GetShapeBounds();
        return false;
      case ZuSwfTagClass::kPlaceObject:
        return Place(type, tag);
      case ZuSwfTagClass::kRemoveObject:
        return Counts(Remove(static_cast<const ZuSwfRemoveObjectTag&>(tag).m_depth));
      default:
        // The first PlaceObject form and anything else that draws without a depth we track
        // counts as a change of the whole stage.
        return type == Factory::kPlaceObject;
    }
  }

  bool Place(Factory::enuTagType type, const ZuSwfTag& tag) {
    const std::optional<ZuSwfPlacementFields> fields =
        ZuSwfPlacementFields::Decode(type, tag.GetBody());
    if (!fields) {
      return true;  // unreadable: assume it changes everything
    }
    Placed placed;
    ZuPixelRect change;
    if (fields->move) {
      // A move keeps what it does not give: the character and matrix already there.
      if (const auto old = m_depths.find(fields->depth); old != m_depths.end()) {
        placed = old->second;
      }
      change = Remove(fields->depth);
    }
    if (fields->characterId) {
      placed.character = fields->characterId;
    }
    if (fields->matrix) {
      placed.matrix = *fields->matrix;
    }
    m_depths[fields->depth] = placed;
    return Counts(change.Union(Box(placed)));
  }

  // Takes what stands at depth off the list and returns its box.
  ZuPixelRect Remove(uint16_t depth) {
    const auto old = m_depths.find(depth);
    if (old == m_depths.end()) {
      return {};
    }
    const ZuPixelRect box = Box(old->second);
    m_depths.erase(old);
    return box;
  }

  // The stage pixels a placement can draw on: its shape's box, or the whole stage for a
  // character that is not a shape we know.
  ZuPixelRect Box(const Placed& placed) const {
    if (!placed.character) {
      return {};
    }
    const auto shape = m_shapeBounds.find(*placed.character);
    return shape == m_shapeBounds.end() ? m_stage : PixelBox(shape->second, placed.matrix, m_stage);
  }

  bool Counts(const ZuPixelRect& change) const { return !IsIgnored(change, m_rule); }

  const StillRule& m_rule;
  const ZuPixelRect m_stage;
  std::unordered_map<uint16_t, ZuSwfRect> m_shapeBounds;
  std::unordered_map<uint16_t, Placed> m_depths;
};

}  // namespace

std::vector<bool> FindStillFrames(const ZuTavoFile& movie, const StillRule& rule) {
  return StillnessWalk(movie, rule).Run(movie);
}

std::vector<StillStretch> StillStretches(const std::vector<bool>& still, int longerThan) {
  std::vector<StillStretch> stretches;
  const int count = static_cast<int>(still.size());
  for (int frame = 1; frame <= count;) {
    if (!still[size_t(frame) - 1]) {
      ++frame;
      continue;
    }
    StillStretch stretch{frame, frame};
    while (stretch.last < count && still[size_t(stretch.last)]) {
      ++stretch.last;
    }
    if (stretch.Count() > longerThan) {
      stretches.push_back(stretch);
    }
    frame = stretch.last + 1;
  }
  return stretches;
}
