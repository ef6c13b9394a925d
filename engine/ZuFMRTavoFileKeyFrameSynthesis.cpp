// Key-frame synthesis: a frame of a movie file is rendered by the player, turned into a
// lossless bitmap (32-bit, or 16-bit 5-5-5 for movies of 16-bit bitmaps) and inserted as
// a self-contained key frame, with the tags that free and remove it again in the next
// clean-up block.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZuEditTags.h"
#include "engine/ZuFMRTavoFile.h"
#include "engine/ZuKeyFramePicture.h"
#include "host/image/ZuBitmapQuality.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuImage16BPP.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfLosslessBitmap.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"

namespace {

using Factory = ZuSwfTagFactory;
using zu_edit_tags::IsOfType;

// Synthesized key frames sit above a block's own key frame (depth 1) and below every
// partial picture that follows, where the FMR test keeps room for them.
constexpr uint16_t kKeyFrameDepth = ZuAnimationUtils::kRenderedKeyFrameDepth;

// A DIB section, deleted by Delete or when it goes.
struct DibSection {
  HBITMAP bitmap = nullptr;
  void Delete() {
    if (bitmap != nullptr) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  ~DibSection() { Delete(); }
};

// A locked global block, found from its locked address: unlocked and freed by Free or
// when it goes.
struct LockedGlobalBlock {
  void* start = nullptr;
  void Free() {
    if (start != nullptr) {
      const HGLOBAL block = GlobalHandle(start);
      GlobalUnlock(block);
      GlobalFree(block);
      start = nullptr;
    }
  }
  ~LockedGlobalBlock() { Free(); }
};

// A copy of the picture's pixels in the byte order of a 32-bit DIB: red and blue
// exchanged in every whole pixel.
std::vector<uint8_t> SwapRedAndBlue(const ZuImage& picture) {
  std::vector<uint8_t> pixels(picture.GetBuffer(), picture.GetBuffer() + picture.GetBuffSize());
  for (size_t at = 0; at + 4 <= pixels.size(); at += 4) {
    std::swap(pixels[at], pixels[at + 2]);
  }
  return pixels;
}

// The header of a top-down 32-bit DIB of width x height.
BITMAPINFO Header32(int width, int height) {
  BITMAPINFO info{};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(static_cast<size_t>(width) * height * 4);
  return info;
}

// The picture as 16-bit 5-5-5 pixels, through a 32-bit DIB section and a packed 16-bit
// DIB in global memory. Throws the int 0 when the section or the block cannot be had;
// everything allocated on the way is released on every road.
std::unique_ptr<ZuImage16BPP> ConvertTo16Bits(const ZuImage& picture) {
  const int width = picture.GetWidth();
  const int height = picture.GetHeight();
  std::vector<uint8_t> swapped = SwapRedAndBlue(picture);
  const size_t rowBytes = (2 * static_cast<size_t>(width) + 3) / 4 * 4;
  std::vector<uint8_t> pixels16(static_cast<size_t>(height) * rowBytes);

  const BITMAPINFO info = Header32(width, height);
  DibSection section;
  section.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  if (section.bitmap == nullptr) {
    throw 0;
  }
  const int lines = SetDIBits(nullptr, section.bitmap, 0, static_cast<UINT>(height), swapped.data(),
                              &info, DIB_RGB_COLORS);
  if (lines != height) {
    std::printf("%d", lines);
  }
  std::vector<uint8_t>().swap(swapped);  // the section holds the pixels now

  const HGLOBAL block = CreateDIB16FromBitmap(section.bitmap);
  if (block == nullptr) {
    throw 0;
  }
  LockedGlobalBlock locked;
  locked.start = GlobalLock(block);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(locked.start);
  const uint8_t* rows = static_cast<const uint8_t*>(locked.start) + header->biSize +
                        4 * static_cast<size_t>(header->biClrUsed);
  std::memcpy(pixels16.data(), rows, std::min<size_t>(header->biSizeImage, pixels16.size()));
  section.Delete();
  locked.Free();

  VerticalFlip(pixels16.data(), width, height);
  return std::make_unique<ZuImage16BPP>(pixels16.data(), width, height, true);
}

// Whether every pixel of picture is opaque and shows a colour that 5 bits a channel hold
// exactly: stored in 16 bits, the picture then shows the same pixels.
bool HoldsOnly15BitColors(const ZuImage& picture) {
  for (int y = 0; y < picture.GetHeight(); ++y) {
    const uint8_t* pixel = picture.Row(y);
    for (int x = 0; x < picture.GetWidth(); ++x, pixel += 4) {
      for (int channel = 0; channel < 3; ++channel) {
        if (ZuSwfLosslessBitmap::Widen5(pixel[channel] >> 3) != pixel[channel]) {
          return false;
        }
      }
      if (pixel[3] != 255) {
        return false;
      }
    }
  }
  return true;
}

// Fills a bitmap tag from a picture of either depth.
void FillBitmap(ZuSwfDefineBitsLossless2Tag& bitmap, const ZuImage& picture) {
  // The player's pictures are stage-sized, which a bitmap tag always holds.
  static_assert(ZuTavoPlayer::kMaxStageSide <= ZuSwfLosslessBitmap::kMaxSide);
  bitmap.CreateImage(picture, kZuBitmapQualityLossless);
}

void FillBitmap(ZuSwfDefineBitsLossless2Tag& bitmap, const ZuImage16BPP& picture) {
  bitmap.CreateImage(picture);
}

}  // namespace

int ZuFMRTavoFile::GetBMPBitDepth() {
  if (m_bmpBitDepth != -1) {
    return m_bmpBitDepth;
  }
  m_bmpBitDepth = 0;
  for (const ZuSwfTag* tag : *this) {
    if (tag == nullptr) {
      return 0;
    }
    const auto* bitmap = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(tag);
    if (bitmap == nullptr || tag->GetTagType() != Factory::kDefineBitsLossless2) {
      continue;
    }
    const uint8_t format = bitmap->GetBitmapFormat();
    if (format == ZuSwfLosslessBitmap::kRgb15) {
      m_bmpBitDepth = 16;
      return m_bmpBitDepth;
    }
    if (format == ZuSwfLosslessBitmap::kArgb32) {
      m_bmpBitDepth = 32;
      return m_bmpBitDepth;
    }
  }
  return m_bmpBitDepth;
}

void ZuFMRTavoFile::ExtractImageAndAddKeyFrame(int frameToRender, int targetFrame,
                                               ZuString& movieFile) {
  const int depth = GetBMPBitDepth();
  std::string reason;
  std::unique_ptr<ZuImage> picture(RenderMovieFrame(movieFile, frameToRender, &reason));
  if (picture == nullptr) {
    m_editError = "frame " + std::to_string(frameToRender) + " cannot be rendered: " + reason;
    throw 0;
  }
  // A 16-bit key frame is smaller, but holds the picture exactly only when every colour
  // is one of the 5-5-5 colours: a 16-bit movie may have 32-bit or colour-mapped pictures
  // merged or inserted into it, and a movie without 16-bit pictures keeps 32 bits.
  if (depth != 16 || !HoldsOnly15BitColors(*picture)) {
    AddImageKeyFrame(*picture, targetFrame);
    return;
  }
  const std::unique_ptr<ZuImage16BPP> picture16 = ConvertTo16Bits(*picture);
  picture.reset();
  AddImageKeyFrame(*picture16, targetFrame);
}

void ZuFMRTavoFile::AddImageKeyFrame(const ZuImage& picture, int targetFrame) {
  AddKeyFrameOfPicture(picture, targetFrame);
}

void ZuFMRTavoFile::AddImageKeyFrame(const ZuImage16BPP& picture, int targetFrame) {
  AddKeyFrameOfPicture(picture, targetFrame);
}

template <typename Picture>
void ZuFMRTavoFile::AddKeyFrameOfPicture(const Picture& picture, int targetFrame) {
  // The key frame goes before the targetFrame-th ShowFrame, so it belongs to that frame.
  iterator pos = end();
  if (targetFrame == 0) {
    pos = FindNthFrame(0);
  } else if (targetFrame > 0) {
    pos = FindNthTagOfType(Factory::kShowFrame, static_cast<unsigned>(targetFrame));
  }
  if (pos == end()) {
    return;
  }

  std::unique_ptr<ZuSwfDefineBitsLossless2Tag> bitmap =
      zu_edit_tags::CreateTagAs<ZuSwfDefineBitsLossless2Tag>(Factory::kDefineBitsLossless2);
  if (bitmap == nullptr) {
    return;
  }
  bitmap->SetCharacterId(GetId());
  FillBitmap(*bitmap, picture);
  const uint16_t bitmapId = bitmap->GetCharacterId();
  IncludeTag(bitmap.release(), pos);

  std::unique_ptr<ZuSwfDefineShapeTag> shape =
      zu_edit_tags::CreateTagAs<ZuSwfDefineShapeTag>(Factory::kDefineShape3);
  if (shape == nullptr) {
    return;
  }
  const int width = picture.GetWidth();
  const int height = picture.GetHeight();
  shape->CreateShapeForImage(bitmapId, 0, 0, width, height, width, height, 0);
  shape->SetCharacterId(GetId());
  const uint16_t shapeId = shape->GetCharacterId();
  IncludeTag(shape.release(), pos);

  PlaceObject(shapeId, pos, ZuString(), 0.0, 0.0, kKeyFrameDepth, {});

  // Free and remove the key frame again where the movie's next clean-up block does so
  // for the block it belongs to.
  iterator freeAt = pos;
  while (freeAt != end() && !IsOfType(*freeAt, Factory::kFreeCharacter)) {
    ++freeAt;
  }
  if (freeAt == end()) {
    return;
  }
  IncludeTag(zu_edit_tags::MakeFreeCharacter(bitmapId), freeAt);
  iterator placeAt = freeAt;
  while (placeAt != end() && !zu_edit_tags::EndsCleanupBlock(*placeAt)) {
    ++placeAt;
  }
  if (placeAt == end()) {
    return;
  }
  IncludeTag(zu_edit_tags::MakeRemoveObject2(kKeyFrameDepth), placeAt);
}
