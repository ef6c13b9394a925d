#include "host/pointer/ZuPointerTags.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfPlacementFields.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTagInfo.h"
#include "host/swf/ZuTavoFile.h"

namespace {

using Factory = ZuSwfTagFactory;
using Flags = ZuSwfPlacementFields;

constexpr int kHeaderTags = 2;  // the movie's header tags belong to no frame
constexpr const char* kInputLabel = "zu-input";
constexpr const char* kSettingsLabel = "zu-overlay";
constexpr int kScaleOne = 1 << 16;  // 1.0 in a matrix's 16.16 scale

bool IsOfType(const ZuSwfTag* tag, enuTagType type) {
  return tag != nullptr && tag->GetTagType() == type;
}

ZuSwfTagSet::const_iterator FirstFrameTag(const ZuTavoFile& movie) {
  auto tag = movie.begin();
  for (int i = 0; i < kHeaderTags && tag != movie.end(); ++i) {
    ++tag;
  }
  return tag;
}

std::optional<ZuSwfPlacementFields> PlacementOf(const ZuSwfTag& tag) {
  if (!IsOfType(&tag, Factory::kPlaceObject2) && !IsOfType(&tag, Factory::kPlaceObject3)) {
    return std::nullopt;
  }
  return ZuSwfPlacementFields::Decode(tag.GetTagType(), tag.GetBody());
}

bool IsPointerRemoval(const ZuSwfTag& tag) {
  const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag);
  return remove != nullptr && IsOfType(&tag, Factory::kRemoveObject2) &&
         remove->m_depth == kZuPointerDepth;
}

std::string LabelOf(const ZuSwfTag& tag) {
  if (!IsOfType(&tag, Factory::kFrameLabel)) {
    return "";
  }
  const ZuSharedBytes body = tag.GetBody();
  std::string text(reinterpret_cast<const char*>(body.data()), body.size());
  return text.substr(0, text.find('\0'));
}

// Whether label is one of ours of kind (its first word).
bool IsLabelOf(const std::string& label, const char* kind) {
  const std::string prefix = std::string(kind) + " ";
  return label.compare(0, prefix.size(), prefix) == 0;
}

bool IsTrackLabel(const std::string& label) {
  return IsLabelOf(label, kInputLabel) || IsLabelOf(label, kSettingsLabel);
}

// --- Reading ---

// Walks a movie's tags once, building the track, and tells which tags are the track's.
class TrackReader {
 public:
  explicit TrackReader(const ZuTavoFile& movie) : m_movie(movie) { FindPointerCharacters(); }

  // Reads the track; isTrackTag[i] tells whether the i-th frame tag (from the third) is one
  // of the track's.
  ZuPointerTrack Read(std::vector<bool>& isTrackTag);

 private:
  void FindPointerCharacters();
  void ReadTag(const ZuSwfTag& tag, bool& isTrackTag);
  void ReadPlacement(const ZuSwfPlacementFields& fields);
  void ReadLabel(const std::string& label);
  int ShapeIndex(uint16_t shapeId);

  const ZuTavoFile& m_movie;
  std::set<uint16_t> m_shapeIds;   // shapes placed at the pointer's depth
  std::set<uint16_t> m_bitmapIds;  // the bitmaps they draw
  std::map<uint16_t, const ZuSwfTag*> m_bitmaps;
  std::map<uint16_t, const ZuSwfTag*> m_shapes;
  std::map<uint16_t, int> m_shapeIndex;  // shape id -> index in the track, -1: unusable
  ZuPointerTrack m_track;
  ZuPointerFrame m_frame;        // the frame being read
  bool m_pointerPlaced = false;  // the pointer's depth holds one of its characters
};

// The pointer's characters are those placed at its depth and nowhere else, drawing no bitmap
// of the stage's size, and the bitmaps only they draw: a character the pictures use too (or
// could, as a movie's first picture) stays theirs.
void TrackReader::FindPointerCharacters() {
  std::set<uint16_t> placedElsewhere;
  for (auto it = FirstFrameTag(m_movie); it != m_movie.end(); ++it) {
    const auto fields = *it == nullptr ? std::nullopt : PlacementOf(**it);
    if (fields && fields->characterId) {
      (fields->depth == kZuPointerDepth ? m_shapeIds : placedElsewhere)
          .insert(*fields->characterId);
    }
  }
  for (uint16_t id : placedElsewhere) {
    m_shapeIds.erase(id);
  }
  if (m_shapeIds.empty()) {
    return;
  }
  std::set<uint16_t> stageSized;
  for (auto it = FirstFrameTag(m_movie); it != m_movie.end(); ++it) {
    ZuSwfLosslessBitmap::Header header;
    if (IsOfType(*it, Factory::kDefineBitsLossless2) &&
        ZuSwfLosslessBitmap::ReadHeader((*it)->GetBody().span(), header) &&
        header.width == m_movie.GetWidth() && header.height == m_movie.GetHeight()) {
      stageSized.insert(header.id);
    }
  }
  std::set<uint16_t> drawnElsewhere;
  for (auto it = FirstFrameTag(m_movie); it != m_movie.end(); ++it) {
    const auto* shape = dynamic_cast<const ZuSwfDefineShapeTag*>(*it);
    if (shape != nullptr && m_shapeIds.count(shape->GetCharacterId()) != 0) {
      const std::vector<uint16_t> bitmaps = shape->GetBitmapIds();
      if (std::any_of(bitmaps.begin(), bitmaps.end(),
                      [&](uint16_t id) { return stageSized.count(id) != 0; })) {
        m_shapeIds.erase(shape->GetCharacterId());
      }
    }
  }
  for (auto it = FirstFrameTag(m_movie); it != m_movie.end(); ++it) {
    const auto* shape = dynamic_cast<const ZuSwfDefineShapeTag*>(*it);
    if (shape != nullptr) {
      const bool pointer = m_shapeIds.count(shape->GetCharacterId()) != 0;
      for (uint16_t bitmap : shape->GetBitmapIds()) {
        (pointer ? m_bitmapIds : drawnElsewhere).insert(bitmap);
      }
    }
  }
  for (uint16_t id : drawnElsewhere) {
    m_bitmapIds.erase(id);
  }
}

ZuPointerTrack TrackReader::Read(std::vector<bool>& isTrackTag) {
  for (auto it = FirstFrameTag(m_movie); it != m_movie.end(); ++it) {
    bool ours = false;
    if (*it != nullptr) {
      ReadTag(**it, ours);
    }
    isTrackTag.push_back(ours);
  }
  if (std::find(isTrackTag.begin(), isTrackTag.end(), true) == isTrackTag.end()) {
    return {};  // a movie without any of the track's tags has no track
  }
  return std::move(m_track);
}

void TrackReader::ReadTag(const ZuSwfTag& tag, bool& isTrackTag) {
  const enuTagType type = tag.GetTagType();
  if (type == Factory::kShowFrame) {
    m_track.frames.push_back(m_frame);
    m_frame.pressed = 0;
    m_frame.keys.clear();
    return;
  }
  if (type == Factory::kDefineBitsLossless2 && m_bitmapIds.count(tag.GetCharacterId()) != 0) {
    m_bitmaps[tag.GetCharacterId()] = &tag;
    isTrackTag = true;
  } else if (dynamic_cast<const ZuSwfDefineShapeTag*>(&tag) != nullptr &&
             m_shapeIds.count(tag.GetCharacterId()) != 0) {
    m_shapes[tag.GetCharacterId()] = &tag;
    isTrackTag = true;
  } else if (const auto fields = PlacementOf(tag); fields && fields->depth == kZuPointerDepth) {
    // Only the pointer's own placements and moves: another character there stays.
    m_pointerPlaced =
        fields->characterId ? m_shapeIds.count(*fields->characterId) != 0 : m_pointerPlaced;
    if (m_pointerPlaced) {
      ReadPlacement(*fields);
      isTrackTag = true;
    }
  } else if (IsPointerRemoval(tag) && m_pointerPlaced) {
    m_frame.shown = false;
    m_pointerPlaced = false;
    isTrackTag = true;
  } else if (const std::string label = LabelOf(tag); IsTrackLabel(label)) {
    ReadLabel(label);
    isTrackTag = true;
  }
}

void TrackReader::ReadPlacement(const ZuSwfPlacementFields& fields) {
  if (fields.characterId) {
    const int index = ShapeIndex(*fields.characterId);
    m_frame.shown = index >= 0;
    m_frame.shape = std::max(index, 0);
  }
  if (fields.matrix) {
    m_frame.x = static_cast<int>(std::lround(fields.matrix->translateX / double{kZuTwipsPerPixel}));
    m_frame.y = static_cast<int>(std::lround(fields.matrix->translateY / double{kZuTwipsPerPixel}));
  }
}

int TrackReader::ShapeIndex(uint16_t shapeId) {
  const auto known = m_shapeIndex.find(shapeId);
  if (known != m_shapeIndex.end()) {
    return known->second;
  }
  int index = -1;
  const auto shapeTag = m_shapes.find(shapeId);
  const auto* shape = shapeTag == m_shapes.end()
                          ? nullptr
                          : dynamic_cast<const ZuSwfDefineShapeTag*>(shapeTag->second);
  const std::vector<uint16_t> bitmapIds =
      shape != nullptr ? shape->GetBitmapIds() : std::vector<uint16_t>{};
  const auto bitmap = bitmapIds.empty() ? m_bitmaps.end() : m_bitmaps.find(bitmapIds.front());
  if (bitmap != m_bitmaps.end()) {
    const std::unique_ptr<ZuImage> image =
        ZuSwfLosslessBitmap::Decode(bitmap->second->GetBody().span(), true, nullptr);
    if (image) {
      const ZuSwfRect bounds = shape->GetShapeBounds();
      ZuPointerShape pointer;
      pointer.width = image->GetWidth();
      pointer.height = image->GetHeight();
      pointer.hotX = -bounds.xMin / kZuTwipsPerPixel;
      pointer.hotY = -bounds.yMin / kZuTwipsPerPixel;
      pointer.rgba.assign(image->GetBuffer(),
                          image->GetBuffer() + size_t{4} * pointer.width * pointer.height);
      index = m_track.AddShape(pointer);
    }
  }
  m_shapeIndex[shapeId] = index;
  return index;
}

void TrackReader::ReadLabel(const std::string& label) {
  std::istringstream in(label);
  std::string kind;
  in >> kind;
  if (kind == kInputLabel) {
    int held = 0;
    int pressed = 0;
    in >> held >> pressed;
    m_frame.held = static_cast<uint8_t>(held);
    m_frame.pressed = static_cast<uint8_t>(pressed);
    std::string key;
    in.ignore(1);  // the tab before the first key
    while (std::getline(in, key, '\t')) {
      if (!key.empty()) {
        m_frame.keys.push_back(key);
      }
    }
    return;
  }
  std::string look;
  double scale = ZuOverlaySettings::kDefaultLargeScale;
  int clicks = 0;
  int keys = 0;
  in >> look >> scale >> clicks >> keys;
  ZuOverlaySettings& settings = m_track.settings;
  ZuParsePointerLook(look, settings.pointer);
  settings.largeScale = std::isfinite(scale) ? std::clamp(scale, ZuOverlaySettings::kMinLargeScale,
                                                          ZuOverlaySettings::kMaxLargeScale)
                                             : ZuOverlaySettings::kDefaultLargeScale;
  settings.clicks = clicks != 0;
  settings.keys = keys != 0;
}

// --- Writing ---

ZuSwfTag* MakeLabel(const std::string& text) {
  std::vector<uint8_t> body(text.begin(), text.end());
  body.push_back(0);
  return ZuSwfTagFactory::CreateTagFromBody(Factory::kFrameLabel,
                                            ZuSharedBytes::Adopt(std::move(body)), false);
}

std::string InputLabel(const ZuPointerFrame& frame) {
  std::string text = std::string(kInputLabel) + " " + std::to_string(frame.held) + " " +
                     std::to_string(frame.pressed);
  for (const std::string& key : frame.keys) {
    text += "\t" + key;
  }
  return text;
}

std::string SettingsLabel(const ZuOverlaySettings& settings) {
  char scale[32];
  std::snprintf(scale, sizeof scale, "%g", settings.largeScale);
  return std::string(kSettingsLabel) + " " + ZuPointerLookName(settings.pointer) + " " + scale +
         " " + (settings.clicks ? "1" : "0") + " " + (settings.keys ? "1" : "0");
}

// The pointer's placement: a new character (replacing one already there when move), or a
// move of the one there.
ZuSwfTag* MakePlacement(const ZuPointerFrame& frame, const ZuOverlaySettings& settings, bool move,
                        std::optional<uint16_t> shapeId) {
  ZuSwfMatrix matrix;
  matrix.scaleX = matrix.scaleY = static_cast<int32_t>(std::lround(settings.Scale() * kScaleOne));
  matrix.translateX = frame.x * kZuTwipsPerPixel;
  matrix.translateY = frame.y * kZuTwipsPerPixel;
  const bool hidden = settings.pointer == ZuPointerLook::kHide;
  uint8_t flags = Flags::kHasMatrix;
  flags |= move ? Flags::kMove : 0;
  flags |= shapeId ? Flags::kHasCharacter : 0;
  flags |= shapeId && hidden ? Flags::kHasColorTransform : 0;
  ZuBitWriter out;
  out.WriteByte(flags);
  out.WriteWord(kZuPointerDepth);
  if (shapeId) {
    out.WriteWord(*shapeId);
  }
  matrix.Write(out);
  if ((flags & Flags::kHasColorTransform) != 0) {
    ZuSwfColorTransform invisible;
    invisible.hasAlpha = true;
    invisible.alphaMult = 0;
    invisible.Write(out);
  }
  return new ZuSwfPlaceObject2Tag(Factory::kPlaceObject2, ZuSharedBytes::Adopt(out.TakeBytes()),
                                  false);
}

// Writes a track's tags frame by frame.
class TrackWriter {
 public:
  TrackWriter(const ZuPointerTrack& track, uint16_t firstId) : m_track(track), m_nextId(firstId) {}

  // The tags of frame (from 0), in order; the caller owns them.
  std::vector<ZuSwfTag*> FrameTags(size_t frame);

 private:
  void DefineShape(int index, std::vector<ZuSwfTag*>& tags);

  const ZuPointerTrack& m_track;
  uint32_t m_nextId;
  std::map<int, uint16_t> m_shapeIds;  // shape index -> its DefineShape3's id
  bool m_placed = false;
  ZuPointerFrame m_last;  // the frame written before
};

std::vector<ZuSwfTag*> TrackWriter::FrameTags(size_t frame) {
  std::vector<ZuSwfTag*> tags;
  const ZuPointerFrame& now = m_track.frames[frame];
  if (frame == 0 && !(m_track.settings == ZuOverlaySettings{})) {
    tags.push_back(MakeLabel(SettingsLabel(m_track.settings)));
  }
  if (now.shown) {
    const bool newShape = !m_placed || now.shape != m_last.shape;
    if (newShape && m_shapeIds.count(now.shape) == 0) {
      DefineShape(now.shape, tags);
    }
    if (newShape || now.x != m_last.x || now.y != m_last.y) {
      const std::optional<uint16_t> shapeId =
          newShape ? std::optional<uint16_t>(m_shapeIds.at(now.shape)) : std::nullopt;
      tags.push_back(MakePlacement(now, m_track.settings, m_placed, shapeId));
    }
    m_placed = true;
  } else if (m_placed) {
    ZuSwfTag* remove = ZuSwfTagFactory::CreateTagOfType(Factory::kRemoveObject2, 0, 0);
    static_cast<ZuSwfRemoveObjectTag*>(remove)->m_depth = kZuPointerDepth;
    tags.push_back(remove);
    m_placed = false;
  }
  if (now.held != m_last.held || now.pressed != 0 || !now.keys.empty()) {
    tags.push_back(MakeLabel(InputLabel(now)));
  }
  m_last = now;
  return tags;
}

void TrackWriter::DefineShape(int index, std::vector<ZuSwfTag*>& tags) {
  const ZuPointerShape& shape = m_track.shapes.at(static_cast<size_t>(index));
  const auto bitmapId = static_cast<uint16_t>(m_nextId++);
  const auto shapeId = static_cast<uint16_t>(m_nextId++);
  const ZuImage image(shape.width, shape.height, shape.rgba.data());
  tags.push_back(ZuSwfTagFactory::CreateTagFromBody(
      Factory::kDefineBitsLossless2,
      ZuSharedBytes::Adopt(ZuSwfLosslessBitmap::EncodeArgb(bitmapId, image, true)), true));
  ZuSwfTag* tag = ZuSwfTagFactory::CreateTagOfType(Factory::kDefineShape3, 0, 0);
  auto* drawing = static_cast<ZuSwfDefineShapeTag*>(tag);
  drawing->CreateShapeForImage(bitmapId, -shape.hotX, -shape.hotY, shape.width, shape.height,
                               shape.width, shape.height, 0);
  drawing->SetCharacterId(shapeId);
  tags.push_back(tag);
  m_shapeIds[index] = shapeId;
}

size_t CountFrames(const ZuTavoFile& movie) {
  size_t frames = 0;
  for (auto it = FirstFrameTag(movie); it != movie.end(); ++it) {
    frames += IsOfType(*it, Factory::kShowFrame) ? 1 : 0;
  }
  return frames;
}

// Whether the track has nothing to write: no frames, or frames without a pointer or events,
// and the default settings.
bool IsBlank(const ZuPointerTrack& track) {
  return track.settings == ZuOverlaySettings{} &&
         std::all_of(track.frames.begin(), track.frames.end(), [](const ZuPointerFrame& frame) {
           return !frame.shown && frame.held == 0 && frame.pressed == 0 && frame.keys.empty();
         });
}

// The highest id the movie's definitions take (its pictures'; a track taken out no longer
// counts), so that the pointer's ids do not climb with every edit.
uint32_t HighestDefinedId(const ZuTavoFile& movie) {
  uint32_t highest = 0;
  for (auto it = FirstFrameTag(movie); it != movie.end(); ++it) {
    if (*it != nullptr && ZuSwfGetTagInfo((*it)->GetTagType()).definesCharacter) {
      highest = std::max<uint32_t>(highest, (*it)->GetCharacterId());
    }
  }
  return highest;
}

std::string CheckShapes(const ZuPointerTrack& track) {
  for (const ZuPointerShape& shape : track.shapes) {
    if (shape.width <= 0 || shape.height <= 0 || shape.width > ZuImage::kMaxSide ||
        shape.height > ZuImage::kMaxSide ||
        shape.rgba.size() != static_cast<size_t>(shape.width) * shape.height * 4) {
      return "a pointer shape of the track has no pixels of its size";
    }
  }
  for (const ZuPointerFrame& frame : track.frames) {
    if (frame.shown &&
        (frame.shape < 0 || static_cast<size_t>(frame.shape) >= track.shapes.size())) {
      return "a frame of the pointer track names a shape it does not hold";
    }
  }
  return "";
}

}  // namespace

ZuPointerTrack ZuReadPointerTrack(const ZuTavoFile& movie) {
  std::vector<bool> isTrackTag;
  return TrackReader(movie).Read(isTrackTag);
}

ZuPointerTrack ZuTakePointerTrack(ZuTavoFile& movie) {
  std::vector<bool> isTrackTag;
  ZuPointerTrack track = TrackReader(movie).Read(isTrackTag);
  if (track.Empty()) {
    return track;
  }
  auto it = movie.begin();
  for (int i = 0; i < kHeaderTags && it != movie.end(); ++i) {
    ++it;
  }
  for (size_t index = 0; it != movie.end(); ++index) {
    if (isTrackTag[index]) {
      ZuSwfTag* tag = *it;
      it = movie.EraseTags(it, std::next(it));
      delete tag;
    } else {
      ++it;
    }
  }
  return track;
}

std::string ZuPutPointerTrack(ZuTavoFile& movie, const ZuPointerTrack& track) {
  if (IsBlank(track)) {
    return "";
  }
  const size_t frames = CountFrames(movie);
  if (track.frames.size() != frames) {
    return "the pointer track has " + std::to_string(track.frames.size()) +
           " frames for a movie of " + std::to_string(frames);
  }
  if (std::string why = CheckShapes(track); !why.empty()) {
    return why;
  }
  const uint32_t firstId = HighestDefinedId(movie) + 1U;
  if (firstId + 2 * track.shapes.size() > 65536) {
    return "no character ids are left for the pointer's shapes";
  }
  TrackWriter writer(track, static_cast<uint16_t>(firstId));
  size_t frame = 0;
  auto it = movie.begin();
  for (int i = 0; i < kHeaderTags && it != movie.end(); ++i) {
    ++it;
  }
  for (; it != movie.end(); ++it) {
    if (!IsOfType(*it, Factory::kShowFrame)) {
      continue;
    }
    std::vector<ZuSwfTag*> tags = writer.FrameTags(frame++);
    std::list<ZuSwfTag*> list(tags.begin(), tags.end());
    movie.InsertTags(it, list.begin(), list.end());
  }
  return "";
}
