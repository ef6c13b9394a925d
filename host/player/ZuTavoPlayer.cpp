#include "host/player/ZuTavoPlayer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

#include "host/image/ZuImage.h"
#include "host/player/ZuClipLayer.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagInfo.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMappedFile.h"

namespace {

using Factory = ZuSwfTagFactory;

// The id of a bitmap fill that deliberately names no bitmap.
constexpr uint16_t kNoBitmap = 65535;

bool IsShape(enuTagType type) {
  return ZuSwfGetTagInfo(type).tagClass == ZuSwfTagClass::kShape;
}

// What kind of content a definition the player does not draw is, for its warning.
std::string KindNotDrawn(enuTagType type) {
  switch (type) {
    case Factory::kDefineText:
    case Factory::kDefineText2:
    case Factory::kDefineEditText:
      return "text";
    case Factory::kDefineSprite:
      return "sprites";
    case Factory::kDefineButton:
    case Factory::kDefineButton2:
      return "buttons";
    case Factory::kDefineVideoStream:
      return "video";
    case Factory::kDefineMorphShape:
    case Factory::kDefineMorphShape2:
      return "morph shapes";
    case Factory::kDefineBits:
    case Factory::kDefineBitsJPEG2:
    case Factory::kDefineBitsJPEG3:
    case Factory::kDefineBitsJPEG4:
    case Factory::kDefineBitsLossless:
    case Factory::kDefineBitsLossless2:
      return "bitmaps placed without a shape";
    default:
      return "characters of tag type " + std::to_string(type);
  }
}

void FillRect(ZuImage& image, const ZuPixelRect& area, ZuRgba color) {
  if (area.IsEmpty()) {
    return;
  }
  size_t bytes = size_t(area.right - area.left) * 4;
  uint8_t* first = image.Row(area.top) + size_t(area.left) * 4;
  for (size_t i = 0; i < bytes; i += 4) {
    first[i] = color.r;
    first[i + 1] = color.g;
    first[i + 2] = color.b;
    first[i + 3] = 255;
  }
  for (int y = area.top + 1; y < area.bottom; ++y) {
    std::memcpy(image.Row(y) + size_t(area.left) * 4, first, bytes);
  }
}

}  // namespace

ZuTavoPlayer::ZuTavoPlayer(int /*colorDepth*/) {}

ZuTavoPlayer::~ZuTavoPlayer() = default;

bool ZuTavoPlayer::Fail(const std::string& reason) {
  m_lastError = reason;
  return false;
}

int ZuTavoPlayer::LoadMovie(const ZuString& path, int /*flags*/, uint8_t /*startPaused*/) {
  // The file is mapped rather than read: going to one frame touches only the tag headers
  // and the bitmaps on the display list, not the whole file.
  std::string file = path.GetUTF8String();
  std::string reason;
  ZuSharedBytes bytes;
  if (!ZuMappedFile::Map(file, bytes, &reason)) {
    Fail(file + ": cannot open: " + reason);
    return 0;
  }
  auto movie = std::make_unique<ZuTavoFile>();
  if (movie->LoadFromBytes(std::move(bytes)) != 0) {
    Fail(file + ": " + movie->GetLastError());
    return 0;
  }
  return Adopt(std::move(movie)) ? 1 : 0;
}

bool ZuTavoPlayer::LoadMovie(const ZuTavoFile& movie) {
  return Adopt(std::make_unique<ZuTavoFile>(movie));
}

bool ZuTavoPlayer::Adopt(std::unique_ptr<ZuTavoFile> movie) {
  m_movie.reset();
  m_tags.clear();
  m_frameEnds.clear();
  m_list.Clear();
  m_currentFrame = 0;
  m_bitmaps.Clear();
  m_shapes.clear();
  m_stage.reset();
  m_composed.clear();
  m_composedValid = false;
  m_warnings.Clear();

  uint32_t width = movie->GetWidth(), height = movie->GetHeight();
  if (width == 0 || height == 0) {
    return Fail("the stage is empty (" + std::to_string(width) + " x " + std::to_string(height) +
                " pixels)");
  }
  if (width > kMaxStageSide || height > kMaxStageSide) {
    return Fail("the stage of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is larger than " + std::to_string(kMaxStageSide) + " x " +
                std::to_string(kMaxStageSide));
  }
  m_movie = std::move(movie);
  m_width = int(width);
  m_height = int(height);
  m_originX = m_movie->GetFrameRect().xMin;
  m_originY = m_movie->GetFrameRect().yMin;
  IndexFrames();
  ReadBackground();
  if (!m_frameEnds.empty()) {
    ApplyFrame(1);
  }
  return true;
}

void ZuTavoPlayer::IndexFrames() {
  for (const ZuSwfTag* tag : *m_movie) {
    if (tag == nullptr) {
      continue;
    }
    m_tags.push_back(tag);
    if (tag->GetTagType() == Factory::kShowFrame) {
      m_frameEnds.push_back(m_tags.size());
    }
  }
}

// The first SetBackgroundColor tag gives the stage colour; white without one.
void ZuTavoPlayer::ReadBackground() {
  m_background = {255, 255, 255, 255};
  for (const ZuSwfTag* tag : m_tags) {
    if (tag->GetTagType() != Factory::kSetBackgroundColor) {
      continue;
    }
    ZuSharedBytes body = tag->GetBody();
    if (body.size() >= 3) {
      m_background = {body[0], body[1], body[2], 255};
    }
    return;
  }
}

void ZuTavoPlayer::ApplyFrame(int frame) {
  size_t first = frame > 1 ? m_frameEnds[size_t(frame) - 2] : 0;
  size_t last = m_frameEnds[size_t(frame) - 1];
  for (size_t i = first; i < last; ++i) {
    const ZuSwfTag& tag = *m_tags[i];
    if (tag.GetTagType() == Factory::kFreeCharacter && tag.GetBody().size() >= 2) {
      m_bitmaps.Drop(tag.GetReferencedId());
    }
    m_list.ApplyTag(tag, m_warnings);
    m_walkedPages.PassedEnd(tag.GetBody());
  }
  m_currentFrame = frame;
}

bool ZuTavoPlayer::GotoFrameAndPlay(int frame) {
  if (m_movie == nullptr) {
    return Fail("no movie is loaded");
  }
  if (GetFrameCount() == 0) {
    return Fail("the movie has no frames (no ShowFrame tag)");
  }
  if (frame < 1 || frame > GetFrameCount()) {
    return Fail("frame " + std::to_string(frame) + " is outside the movie's frames 1 to " +
                std::to_string(GetFrameCount()));
  }
  if (frame < m_currentFrame) {
    // The display list cannot run backwards: rebuild it from the start.
    m_list.Clear();
    m_currentFrame = 0;
    m_walkedPages.Release();
  }
  while (m_currentFrame < frame) {
    ApplyFrame(m_currentFrame + 1);
  }
  return true;
}

bool ZuTavoPlayer::Stop() {
  if (m_movie == nullptr) {
    return Fail("no movie is loaded");
  }
  return true;
}

ZuImage* ZuTavoPlayer::GetCurrentScreenImage() {
  const ZuImage* picture = DrawCurrentScreen();
  return picture == nullptr ? nullptr : new ZuImage(*picture);
}

const ZuImage* ZuTavoPlayer::DrawCurrentScreen() {
  m_redrawn = {};
  if (m_movie == nullptr) {
    Fail("no movie is loaded");
    return nullptr;
  }
  try {
    if (m_stage == nullptr) {
      m_stage = std::make_unique<ZuImage>(m_width, m_height);
      m_composedValid = false;
    }
    ZuShapeRenderer renderer(*m_stage, *this, m_originX, m_originY);
    std::map<uint16_t, DrawItem> items = CollectItems(renderer);
    ZuPixelRect area = ChangedArea(items);
    // Mark the picture unknown while it is being changed, in case drawing throws.
    m_composedValid = false;
    m_damagedBitmap.clear();
    Compose(items, area, renderer);
    if (!m_damagedBitmap.empty()) {
      Fail(m_damagedBitmap);  // a picture without it would be wrong, not merely incomplete
      return nullptr;
    }
    m_composed = std::move(items);
    m_composedValid = true;
    m_redrawn = area;
    DropUnused(m_composed);
    return m_stage.get();
  } catch (const std::bad_alloc&) {
    m_stage.reset();
    m_composedValid = false;
    Fail("not enough memory for a stage of " + std::to_string(m_width) + " x " +
         std::to_string(m_height) + " pixels");
    return nullptr;
  }
}

std::map<uint16_t, ZuTavoPlayer::DrawItem> ZuTavoPlayer::CollectItems(ZuShapeRenderer& renderer) {
  std::map<uint16_t, DrawItem> items;
  for (const auto& [depth, placement] : m_list.GetPlacements()) {
    if (depth == kZuPointerDepth) {
      continue;  // the recorded pointer: drawn over the picture by whoever shows it
    }
    DrawItem& item = items[depth];
    item.placement = placement;
    if (placement.character == nullptr) {
      m_warnings.Warn("placements of undefined characters are not drawn");
      continue;
    }
    if (placement.hasEffects) {
      m_warnings.Warn("filters and blend modes are not drawn");
    }
    if (!IsShape(placement.character->GetTagType())) {
      WarnNotDrawn(*placement.character);
      continue;
    }
    item.shape = FindShape(*placement.character);
    if (item.shape == nullptr) {
      continue;
    }
    item.bounds = renderer.Bounds(*item.shape, placement.matrix);
    if (placement.clipDepth != 0) {
      continue;  // a mask: its paint does not matter
    }
    for (const ZuFillStyle& fill : item.shape->GetFills()) {
      if (fill.kind == ZuFillStyle::Kind::kBitmap) {
        item.bitmaps.push_back(m_list.FindCharacter(fill.bitmapId));
      }
    }
    for (const ZuLineStyle& line : item.shape->GetLines()) {
      if (line.fill.kind == ZuFillStyle::Kind::kBitmap) {
        item.bitmaps.push_back(m_list.FindCharacter(line.fill.bitmapId));
      }
    }
  }
  return items;
}

const ZuShapeGeometry* ZuTavoPlayer::FindShape(const ZuSwfTag& tag) {
  auto found = m_shapes.find(&tag);
  if (found == m_shapes.end()) {
    std::string error;
    ShapeEntry entry;
    entry.geometry = ZuShapeGeometry::Parse(tag, &error);
    if (entry.geometry == nullptr) {
      m_warnings.Warn("shape " + std::to_string(tag.GetCharacterId()) +
                      " is malformed and not drawn: " + error);
    }
    found = m_shapes.emplace(&tag, std::move(entry)).first;
  }
  return found->second.geometry.get();
}

void ZuTavoPlayer::WarnNotDrawn(const ZuSwfTag& tag) {
  m_warnings.Warn("content that is not drawn was skipped: " + KindNotDrawn(tag.GetTagType()));
}

const ZuDecodedBitmap* ZuTavoPlayer::FindBitmap(uint16_t id) {
  if (id == kNoBitmap) {
    return nullptr;
  }
  const ZuSwfTag* tag = m_list.FindCharacter(id);
  if (tag == nullptr) {
    m_warnings.Warn("bitmap fills naming undefined bitmaps are not drawn");
    return nullptr;
  }
  std::string error;
  bool damaged = false;
  const ZuDecodedBitmap* bitmap = m_bitmaps.Get(*tag, &error, &damaged);
  if (damaged && m_damagedBitmap.empty()) {
    m_damagedBitmap = "bitmap " + std::to_string(id) + " does not decode: " + error;
  } else if (bitmap == nullptr && !damaged) {
    m_warnings.Warn("bitmap " + std::to_string(id) + " is not drawn: " + error);
  }
  return bitmap;
}

// The stage area whose pixels differ between the composed picture and items: the old and
// new boxes of every depth whose drawing changed. Everything when nothing is composed, or
// when a clipping layer changed (it shows or hides layers well beyond its own box).
ZuPixelRect ZuTavoPlayer::ChangedArea(const std::map<uint16_t, DrawItem>& items) const {
  ZuPixelRect stage{0, 0, m_width, m_height};
  if (!m_composedValid) {
    return stage;
  }
  ZuPixelRect area;
  bool clipChanged = false;
  auto changed = [&](const DrawItem& item) {
    area = area.Union(item.bounds);
    clipChanged = clipChanged || item.placement.clipDepth != 0;
  };
  auto old = m_composed.begin();
  auto now = items.begin();
  while (old != m_composed.end() || now != items.end()) {
    if (now == items.end() || (old != m_composed.end() && old->first < now->first)) {
      changed(old++->second);
    } else if (old == m_composed.end() || now->first < old->first) {
      changed(now++->second);
    } else {
      if (!old->second.SameDrawing(now->second)) {
        changed(old->second);
        changed(now->second);
      }
      ++old;
      ++now;
    }
  }
  return clipChanged ? stage : area.Intersect(stage);
}

void ZuTavoPlayer::Compose(const std::map<uint16_t, DrawItem>& items, const ZuPixelRect& area,
                           ZuShapeRenderer& renderer) {
  if (area.IsEmpty()) {
    return;
  }
  bool hasClips = std::any_of(items.begin(), items.end(),
                              [](const auto& entry) { return entry.second.placement.clipDepth; });
  // Nothing beneath the topmost opaque bitmap covering the whole area shows: start there.
  // (Clipping layers could hide that bitmap, so with them everything is drawn.)
  uint16_t firstDepth = 0;
  bool covered = false;
  for (auto it = items.rbegin(); it != items.rend() && !hasClips; ++it) {
    const DrawItem& item = it->second;
    if (item.shape == nullptr || !item.bounds.Intersects(area)) {
      continue;
    }
    ZuColorTransform transform(item.placement.colorTransform);
    if (renderer.CoversOpaquely(*item.shape, item.placement.matrix, transform, area)) {
      firstDepth = it->first;
      covered = true;
      break;
    }
  }
  if (!covered) {
    FillRect(*m_stage, area, m_background);
  }
  std::vector<std::unique_ptr<ZuClipLayer>> clips;
  for (auto it = items.lower_bound(firstDepth); it != items.end(); ++it) {
    const auto& [depth, item] = *it;
    while (!clips.empty() && depth > clips.back()->GetLastDepth()) {
      clips.back()->Restore();
      clips.pop_back();
    }
    if (item.placement.clipDepth != 0) {
      clips.push_back(std::make_unique<ZuClipLayer>(*m_stage, area, item.placement.clipDepth));
      if (item.shape != nullptr && item.bounds.Intersects(area)) {
        renderer.MarkCoverage(*item.shape, item.placement.matrix, area, clips.back()->Mask());
      }
    } else if (item.shape != nullptr && item.bounds.Intersects(area)) {
      ZuColorTransform transform(item.placement.colorTransform);
      renderer.Draw(*item.shape, item.placement.matrix, transform, area.Intersect(item.bounds));
    }
    if (renderer.TakeCutShort()) {
      m_warnings.Warn("shape " + std::to_string(item.placement.characterId) +
                      " is too complex and was drawn in part");
    }
  }
  for (auto clip = clips.rbegin(); clip != clips.rend(); ++clip) {
    (*clip)->Restore();
  }
}

// Forgets decoded bitmaps and shapes that nothing on the display list uses any more.
void ZuTavoPlayer::DropUnused(const std::map<uint16_t, DrawItem>& items) {
  std::unordered_set<const ZuSwfTag*> bitmaps;
  std::unordered_set<const ZuSwfTag*> shapes;
  for (const auto& [depth, item] : items) {
    bitmaps.insert(item.bitmaps.begin(), item.bitmaps.end());
    if (item.placement.character != nullptr) {
      shapes.insert(item.placement.character);
    }
  }
  m_bitmaps.KeepOnly(bitmaps);
  std::erase_if(m_shapes, [&](const auto& entry) { return !shapes.contains(entry.first); });
}
