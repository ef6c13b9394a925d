#include "redact/PictureFill.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "engine/ZuEditTags.h"
#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuTavoFile.h"
#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuSharedBytes.h"
#include "redact/TagWalk.h"

namespace {

using Factory = ZuSwfTagFactory;
using namespace redact_tags;

constexpr int kTwips = 20;
constexpr int32_t kUnitScale = 1 << 16;
constexpr uint32_t kLargestId = 65535;

// A rectangle of the stage in pixels, right and bottom excluded.
struct PixelBox {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  bool Meets(const PixelBox& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

// Where on the stage a placed shape shows its bitmap, one bitmap pixel to a stage pixel; nullopt
// when the placement scales or turns the shape, puts it between pixels, or the shape is not its
// bitmap's size.
std::optional<PixelBox> BitmapOnStage(const ZuSwfMatrix& matrix, const ZuSwfRect& bounds,
                                      const ZuSwfDefineBitsLossless2Tag& bitmap) {
  const int64_t left = static_cast<int64_t>(matrix.translateX) + bounds.xMin;
  const int64_t top = static_cast<int64_t>(matrix.translateY) + bounds.yMin;
  const bool plain = matrix.scaleX == kUnitScale && matrix.scaleY == kUnitScale &&
                     matrix.rotateSkew0 == 0 && matrix.rotateSkew1 == 0;
  const bool whole = left % kTwips == 0 && top % kTwips == 0;
  const bool ownSize = bounds.xMax - bounds.xMin == kTwips * bitmap.GetBitmapWidth() &&
                       bounds.yMax - bounds.yMin == kTwips * bitmap.GetBitmapHeight();
  if (!plain || !whole || !ownSize) {
    return std::nullopt;
  }
  return PixelBox{left / kTwips, top / kTwips, left / kTwips + bitmap.GetBitmapWidth(),
                  top / kTwips + bitmap.GetBitmapHeight()};
}

// Fills the part of box (stage pixels) that the bitmap, shown at shown, covers.
std::string FillBitmap(ZuSwfDefineBitsLossless2Tag& bitmap, const PixelBox& shown,
                       const PixelBox& box, uint32_t fill) {
  std::string error;
  const std::unique_ptr<ZuImage> image(bitmap.DecodeImage(&error));
  if (image == nullptr) {
    return "bitmap " + std::to_string(bitmap.GetCharacterId()) + " does not decode: " + error;
  }
  const int64_t left = std::max(box.left, shown.left) - shown.left;
  const int64_t right = std::min(box.right, shown.right) - shown.left;
  const int64_t top = std::max(box.top, shown.top) - shown.top;
  const int64_t bottom = std::min(box.bottom, shown.bottom) - shown.top;
  for (int64_t y = top; y < bottom; ++y) {
    uint8_t* pixel = image->Row(static_cast<int>(y)) + 4 * left;
    for (int64_t x = left; x < right; ++x, pixel += 4) {
      pixel[0] = static_cast<uint8_t>(fill >> 16);
      pixel[1] = static_cast<uint8_t>(fill >> 8);
      pixel[2] = static_cast<uint8_t>(fill);
      pixel[3] = 255;
    }
  }
  std::vector<uint8_t> body =
      ZuSwfLosslessBitmap::EncodeArgb(bitmap.GetCharacterId(), *image, bitmap.HasAlpha());
  if (body.empty()) {
    return "bitmap " + std::to_string(bitmap.GetCharacterId()) + " cannot be stored again";
  }
  bitmap.SetBody(ZuSharedBytes::Adopt(std::move(body)));
  return "";
}

// The frames (from 1) each character is placed in.
std::map<uint16_t, std::set<int>> PlacementFrames(ZuTavoFile& movie) {
  std::map<uint16_t, std::set<int>> frames;
  int frame = 1;
  for (auto tag = FirstFrameTag(movie); tag != movie.end(); ++tag) {
    if (IsOfType(*tag, Factory::kShowFrame)) {
      ++frame;
    } else if (IsPlacement(*tag)) {
      const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(*tag);
      if (place != nullptr && place->GetPlacedCharacterId()) {
        frames[*place->GetPlacedCharacterId()].insert(frame);
      }
    }
  }
  return frames;
}

// The shapes each bitmap fills.
std::map<uint16_t, std::vector<uint16_t>> ShapesOfBitmaps(ZuTavoFile& movie) {
  std::map<uint16_t, std::vector<uint16_t>> shapes;
  for (auto tag = FirstFrameTag(movie); tag != movie.end(); ++tag) {
    if (const auto* shape = IsShape(*tag) ? dynamic_cast<ZuSwfDefineShapeTag*>(*tag) : nullptr) {
      for (const uint16_t bitmap : shape->GetBitmapIds()) {
        shapes[bitmap].push_back(shape->GetCharacterId());
      }
    }
  }
  return shapes;
}

// The walk over the range: the definitions met so far and what has been filled.
class RangeFill {
 public:
  RangeFill(ZuTavoFile& movie, const RedactArea& area)
      : m_area(area),
        m_box{area.x, area.y, static_cast<int64_t>(area.x) + area.width,
              static_cast<int64_t>(area.y) + area.height},
        m_placed(PlacementFrames(movie)),
        m_shapesOf(ShapesOfBitmaps(movie)) {}

  void Define(ZuSwfTag* tag) { m_definitions[tag->GetCharacterId()] = tag; }

  // Fills what the placement at `at` shows of the rectangle.
  std::string Place(ZuTavoFile& movie, ZuTavoFile::iterator at, int frame) {
    auto& place = dynamic_cast<ZuSwfPlaceObject2Tag&>(**at);
    const auto character = place.GetPlacedCharacterId();
    const auto found = character ? m_definitions.find(*character) : m_definitions.end();
    if (found == m_definitions.end() || !IsShape(found->second)) {
      return "";
    }
    const auto& shape = dynamic_cast<const ZuSwfDefineShapeTag&>(*found->second);
    const ZuSwfMatrix matrix = place.GetMatrix().value_or(ZuSwfMatrix{});
    const ZuSwfRect bounds = shape.GetShapeBounds();
    const std::vector<uint16_t> bitmaps = shape.GetBitmapIds();
    auto* bitmap = bitmaps.size() == 1 ? BitmapTag(bitmaps.front()) : nullptr;
    const std::optional<PixelBox> shown =
        bitmap != nullptr ? BitmapOnStage(matrix, bounds, *bitmap) : std::nullopt;
    const std::string where = "frame " + std::to_string(frame);
    if (!shown) {
      return where + " shows a picture that is not a bitmap at its own size";
    }
    if (!shown->Meets(m_box)) {
      return "";
    }
    if (ShownOutsideRange(bitmap->GetCharacterId())) {
      return PlaceFilledCopy(movie, at, *character, *bitmap, *shown);
    }
    if (!m_filled.insert(bitmap->GetCharacterId()).second) {
      return "";
    }
    return FillBitmap(*bitmap, *shown, m_box, m_area.fill);
  }

 private:
  ZuSwfDefineBitsLossless2Tag* BitmapTag(uint16_t id) {
    const auto found = m_definitions.find(id);
    return found != m_definitions.end() && IsBitmap(found->second)
               ? dynamic_cast<ZuSwfDefineBitsLossless2Tag*>(found->second)
               : nullptr;
  }

  // A picture that frames outside the range show too stays as it is: the placement at `at` shows
  // a filled copy instead, a new bitmap and shape defined just before it (once for every
  // placement of the shape), the bitmap freed where the original is.
  std::string PlaceFilledCopy(ZuTavoFile& movie, ZuTavoFile::iterator at, uint16_t shape,
                              const ZuSwfDefineBitsLossless2Tag& bitmap, const PixelBox& shown) {
    auto copy = m_copies.find(shape);
    if (copy == m_copies.end()) {
      if (HighestCharacterId(movie) + 2U > kLargestId) {
        return "the movie has no character ids left for a copy of a picture";
      }
      const auto bitmapId = static_cast<uint16_t>(HighestCharacterId(movie) + 1);
      const auto shapeId = static_cast<uint16_t>(bitmapId + 1);
      std::unique_ptr<ZuSwfTag> bitmapCopy(bitmap.Clone());
      bitmapCopy->SetCharacterId(bitmapId);
      std::string why = FillBitmap(dynamic_cast<ZuSwfDefineBitsLossless2Tag&>(*bitmapCopy), shown,
                                   m_box, m_area.fill);
      if (!why.empty()) {
        return why;
      }
      std::unique_ptr<ZuSwfTag> shapeCopy(m_definitions.at(shape)->Clone());
      ZuTavoIDMap toCopy;
      toCopy.Set(bitmap.GetCharacterId(), bitmapId);
      shapeCopy->RemapIds(toCopy);
      shapeCopy->SetCharacterId(shapeId);
      movie.IncludeTag(bitmapCopy.release(), at);
      movie.IncludeTag(shapeCopy.release(), at);
      FreeWithOriginal(movie, at, bitmap.GetCharacterId(), bitmapId);
      copy = m_copies.emplace(shape, shapeId).first;
    }
    ZuTavoIDMap toCopy;
    toCopy.Set(shape, copy->second);
    (*at)->RemapIds(toCopy);
    return "";
  }

  // Frees the copy just before the first FreeCharacter of the original after pos, if any.
  static void FreeWithOriginal(ZuTavoFile& movie, ZuTavoFile::iterator pos, uint16_t original,
                               uint16_t copy) {
    for (auto tag = pos; tag != movie.end(); ++tag) {
      if (IsOfType(*tag, Factory::kFreeCharacter) && (*tag)->GetReferencedId() == original) {
        movie.IncludeTag(zu_edit_tags::MakeFreeCharacter(copy), tag);
        return;
      }
    }
  }

  bool ShownOutsideRange(uint16_t bitmap) const {
    const auto shapes = m_shapesOf.find(bitmap);
    if (shapes == m_shapesOf.end()) {
      return false;
    }
    for (const uint16_t shape : shapes->second) {
      const auto frames = m_placed.find(shape);
      if (frames == m_placed.end()) {
        continue;
      }
      for (const int frame : frames->second) {
        if (frame < m_area.firstFrame || frame > m_area.lastFrame) {
          return true;
        }
      }
    }
    return false;
  }

  const RedactArea& m_area;
  const PixelBox m_box;
  const std::map<uint16_t, std::set<int>> m_placed;
  const std::map<uint16_t, std::vector<uint16_t>> m_shapesOf;
  std::map<uint16_t, ZuSwfTag*> m_definitions;
  std::set<uint16_t> m_filled;            // bitmaps filled where they are
  std::map<uint16_t, uint16_t> m_copies;  // shapes shown outside the range: their copies
};

}  // namespace

std::string FillPlacedPictures(ZuTavoFile& movie, const RedactArea& area) {
  RangeFill fill(movie, area);
  int frame = 1;
  for (auto tag = FirstFrameTag(movie); tag != movie.end() && frame <= area.lastFrame; ++tag) {
    if (IsOfType(*tag, Factory::kShowFrame)) {
      ++frame;
    } else if (IsBitmap(*tag) || IsShape(*tag)) {
      fill.Define(*tag);
    } else if (IsPlacement(*tag) && frame >= area.firstFrame &&
               dynamic_cast<const ZuSwfPlaceObject2Tag*>(*tag) != nullptr) {
      std::string why = fill.Place(movie, tag, frame);
      if (!why.empty()) {
        return why;
      }
    }
  }
  return "";
}
