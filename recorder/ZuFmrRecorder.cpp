#include "recorder/ZuFmrRecorder.h"

#include <utility>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuSharedBytes.h"

namespace {

constexpr uint8_t kSwfVersion = 10;
constexpr uint16_t kKeyFrameDepth = 1;
constexpr uint16_t kFirstPartialDepth = 101;
// Bitmap fills treat id 65535 as "no bitmap", so a picture's bitmap stays below it and
// its shape takes at most 65535.
constexpr uint32_t kLastShapeId = 65535;
// The header counts frames in 16 bits; the hold and stop frames come on top.
constexpr uint32_t kMaxShowFrames = 65535;
constexpr uint32_t kClosingFrames = 2;

ZuSwfTag* MakeTag(enuTagType type, std::vector<uint8_t> body) {
  return ZuSwfTagFactory::CreateTagFromBody(type, ZuSharedBytes::Adopt(std::move(body)), false);
}

// FileAttributes with no flags set: no metadata, no ActionScript 3, local file access.
ZuSwfTag* MakeFileAttributes() {
  return MakeTag(ZuSwfTagFactory::kFileAttributes, {0, 0, 0, 0});
}

ZuSwfTag* MakeWhiteBackground() {
  return MakeTag(ZuSwfTagFactory::kSetBackgroundColor, {0xFF, 0xFF, 0xFF});
}

// DoAction holding ActionStop, then the end-of-actions byte.
ZuSwfTag* MakeStopAction() {
  return MakeTag(ZuSwfTagFactory::kDoAction, {0x07, 0x00});
}

// Why the options other than the stage size cannot be recorded with; empty when they can.
std::string WhyNotSettings(const ZuFmrRecorderOptions& options) {
  if (options.frameRate < 1 || options.frameRate > 255) {
    return "the frame rate must be between 1 and 255 frames per second";
  }
  if (options.depth != 16 && options.depth != 32) {
    return "the bit depth must be 16 or 32";
  }
  if (options.compressionLevel < 1 || options.compressionLevel > 12) {
    return "the compression level must be between 1 and 12";
  }
  if (options.tileSide < 1 || options.tileSide > ZuFrameDiff::kMaxTileSide) {
    return "the tile side must be between 1 and " + std::to_string(ZuFrameDiff::kMaxTileSide);
  }
  return options.blockPolicy.Check();
}

}  // namespace

std::unique_ptr<ZuFmrRecorder> ZuFmrRecorder::Create(const ZuFmrRecorderOptions& options,
                                                     std::string* error) {
  std::string reason = WhyNotStageSize(options.width, options.height);
  if (reason.empty()) {
    reason = WhyNotSettings(options);
  }
  if (!reason.empty()) {
    if (error != nullptr) {
      *error = reason;
    }
    return nullptr;
  }
  return std::unique_ptr<ZuFmrRecorder>(new ZuFmrRecorder(options));
}

std::string ZuFmrRecorder::WhyNotStageSize(int width, int height) {
  const int maxSide = ZuFmrRecorderOptions::kMaxStageSide;
  if (width >= 1 && height >= 1 && width <= maxSide && height <= maxSide) {
    return std::string();
  }
  return "the frame size must be between 1 x 1 and " + std::to_string(maxSide) + " x " +
         std::to_string(maxSide) + " pixels, not " + std::to_string(width) + " x " +
         std::to_string(height);
}

ZuFmrRecorder::ZuFmrRecorder(const ZuFmrRecorderOptions& options)
    : m_options(options),
      m_diff(options.width, options.height, options.depth / 8, options.tileSide),
      m_previous(options.width, options.height, options.depth),
      m_current(options.width, options.height, options.depth),
      m_movie(std::make_unique<ZuTavoFile>()) {
  WriteHeader();
}

ZuFmrRecorder::~ZuFmrRecorder() = default;

bool ZuFmrRecorder::AddFrame(const ZuImage& frame) {
  if (!CheckRoomForFrame(frame)) {
    return false;
  }
  m_current.Assign(frame);
  const uint32_t firstId = m_nextId;
  if (!WriteFrame()) {
    m_nextId = firstId;  // nothing of the frame was written; m_previous is still the last frame
    return false;
  }
  std::swap(m_previous, m_current);
  ++m_frameCount;
  return true;
}

bool ZuFmrRecorder::WriteFrame() {
  if (m_frameCount == 0) {
    return WriteKeyFrame();
  }
  std::vector<ZuPixelRect> changed =
      m_diff.FindChangedRects(m_previous.GetData(), m_current.GetData());
  if (changed.empty()) {
    WriteShowFrame();
    return true;
  }
  FitInCharacterIds(changed);
  const int pictures = static_cast<int>(m_blockBitmaps.size());
  if (m_options.blockPolicy.StartsNewBlock(pictures, m_blockArea, changed, m_options.width,
                                           m_options.height)) {
    return WriteKeyFrame();
  }
  return WritePartialFrame(changed);
}

bool ZuFmrRecorder::CheckRoomForFrame(const ZuImage& frame) {
  if (!m_movie) {
    m_lastError = "the recording is already finished";
  } else if (frame.GetWidth() != m_options.width || frame.GetHeight() != m_options.height) {
    m_lastError = "the frame is " + std::to_string(frame.GetWidth()) + " x " +
                  std::to_string(frame.GetHeight()) + " pixels, but the recording is " +
                  std::to_string(m_options.width) + " x " + std::to_string(m_options.height);
  } else if (m_showFrames + 1 + kClosingFrames > kMaxShowFrames) {
    m_lastError = "the recording is full: an SWF movie holds at most " +
                  std::to_string(kMaxShowFrames - kClosingFrames) + " recorded frames";
  } else if (m_nextId + 1 > kLastShapeId) {
    // Every picture takes two ids; a frame has room for at least one (FitInCharacterIds).
    m_lastError = "the recording is full: it has used every character id an SWF movie has";
  } else {
    return true;
  }
  return false;
}

// Near the end of the ids, the changes go into one picture of the rectangle around them.
void ZuFmrRecorder::FitInCharacterIds(std::vector<ZuPixelRect>& changed) const {
  if (m_nextId + 2 * changed.size() - 1 <= kLastShapeId) {
    return;
  }
  changed.assign(1, ZuFrameDiff::BoundsOf(changed));
}

std::unique_ptr<ZuTavoFile> ZuFmrRecorder::Finish() {
  if (!m_movie) {
    m_lastError = "the recording is already finished";
    return nullptr;
  }
  if (m_frameCount == 0) {
    m_lastError = "no frames were recorded";
    return nullptr;
  }
  WriteShowFrame();  // the hold frame
  WriteStopFrame();
  m_movie->SetFrameCount(static_cast<uint16_t>(m_showFrames));
  return std::move(m_movie);
}

void ZuFmrRecorder::WriteHeader() {
  m_movie->SetTavoVersion(kSwfVersion);
  m_movie->SetWidth(static_cast<uint32_t>(m_options.width));
  m_movie->SetHeight(static_cast<uint32_t>(m_options.height));
  m_movie->SetFrameRate(static_cast<uint16_t>(m_options.frameRate));
  Append(MakeFileAttributes());
  Append(MakeWhiteBackground());
}

// The clean-up of the old block goes around the new full picture's definitions: frees
// first, then the bitmap and shape, then the removals, then the placement.
bool ZuFmrRecorder::WriteKeyFrame() {
  Picture picture;
  if (!MakePicture({0, 0, m_options.width, m_options.height}, true, picture)) {
    return false;
  }
  WriteCleanUpFrees();
  Append(picture.bitmap.release());
  Append(picture.shape.release());
  WriteCleanUpRemovals();
  WritePlacement(picture.shapeId, kKeyFrameDepth);
  WriteShowFrame();
  m_blockBitmaps.assign(1, picture.bitmapId);
  m_blockDepths.assign(1, kKeyFrameDepth);
  m_nextDepth = kFirstPartialDepth;
  m_blockArea = 0;
  ++m_blockCount;
  return true;
}

// All pictures are made before any is written, so a failure leaves the frame out whole.
bool ZuFmrRecorder::WritePartialFrame(const std::vector<ZuPixelRect>& changed) {
  std::vector<Picture> pictures(changed.size());
  for (size_t i = 0; i < changed.size(); ++i) {
    if (!MakePicture(changed[i], false, pictures[i])) {
      return false;
    }
  }
  for (size_t i = 0; i < changed.size(); ++i) {
    const uint16_t depth = m_nextDepth++;
    Append(pictures[i].bitmap.release());
    Append(pictures[i].shape.release());
    WritePlacement(pictures[i].shapeId, depth);
    m_blockBitmaps.push_back(pictures[i].bitmapId);
    m_blockDepths.push_back(depth);
    m_blockArea += changed[i].Area();
  }
  WriteShowFrame();
  return true;
}

bool ZuFmrRecorder::MakePicture(const ZuPixelRect& rect, bool keyFrame, Picture& picture) {
  picture.bitmapId = TakeId();
  picture.shapeId = TakeId();
  std::vector<uint8_t> body =
      m_current.EncodeRect(rect, picture.bitmapId, m_options.compressionLevel, !keyFrame);
  if (body.empty()) {
    m_lastError = "a picture of " + std::to_string(rect.Width()) + " x " +
                  std::to_string(rect.Height()) + " pixels could not be stored";
    return false;
  }
  picture.bitmap.reset(ZuSwfTagFactory::CreateTagFromBody(
      ZuSwfTagFactory::kDefineBitsLossless2, ZuSharedBytes::Adopt(std::move(body)), true));
  picture.shape.reset(ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kDefineShape3, 0, 0));
  auto* shape = dynamic_cast<ZuSwfDefineShapeTag*>(picture.shape.get());
  if (shape == nullptr) {
    m_lastError = "the SWF library cannot make shape tags";
    return false;
  }
  shape->CreateShapeForImage(picture.bitmapId, rect.left, rect.top, rect.Width(), rect.Height(),
                             rect.Width(), rect.Height(), 0);
  shape->SetCharacterId(picture.shapeId);
  return true;
}

void ZuFmrRecorder::WriteCleanUpFrees() {
  for (uint16_t bitmapId : m_blockBitmaps) {
    ZuSwfTag* free = ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kFreeCharacter, 0, 0);
    free->SetReferencedId(bitmapId);
    Append(free);
  }
}

void ZuFmrRecorder::WriteCleanUpRemovals() {
  for (uint16_t depth : m_blockDepths) {
    ZuSwfTag* tag = ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kRemoveObject2, 0, 0);
    static_cast<ZuSwfRemoveObjectTag*>(tag)->m_depth = depth;
    Append(tag);
  }
}

void ZuFmrRecorder::WritePlacement(uint16_t shapeId, uint16_t depth) {
  Append(ZuSwfPlaceObject2Tag::Create(shapeId, depth, 0.0, 0.0, "", {}));
}

void ZuFmrRecorder::WriteShowFrame() {
  Append(MakeTag(ZuSwfTagFactory::kShowFrame, {}));
  ++m_showFrames;
}

void ZuFmrRecorder::WriteStopFrame() {
  Append(MakeStopAction());
  WriteShowFrame();
}

void ZuFmrRecorder::Append(ZuSwfTag* tag) {
  m_movie->AppendTag(tag);
}
