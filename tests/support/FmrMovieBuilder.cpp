#include "tests/support/FmrMovieBuilder.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfTag.h"
#include "host/util/ZuLittleEndian.h"
#include "host/util/ZuMemoryStream.h"
#include "tests/support/FileBytes.h"

namespace {

uint8_t Red(uint32_t rgb) {
  return static_cast<uint8_t>(rgb >> 16);
}
uint8_t Green(uint32_t rgb) {
  return static_cast<uint8_t>(rgb >> 8);
}
uint8_t Blue(uint32_t rgb) {
  return static_cast<uint8_t>(rgb);
}

size_t PaddedRow(size_t bytes) {
  return (bytes + 3) / 4 * 4;
}

// The pixel data of a one-color bitmap, before compression.
std::vector<uint8_t> PixelData(uint16_t width, uint16_t height, uint32_t rgb, bool alpha,
                               uint8_t format) {
  std::vector<uint8_t> data;
  if (format == 3) {  // a one-entry color table, then row-padded indices of 0
    data = {Red(rgb), Green(rgb), Blue(rgb)};
    if (alpha) {
      data.push_back(0xFF);
    }
    data.resize(data.size() + PaddedRow(width) * height, 0);
  } else if (format == 4) {  // 15-bit pixels, rows padded to 4 bytes
    const uint16_t pixel = static_cast<uint16_t>(((Red(rgb) >> 3) << 10) |
                                                 ((Green(rgb) >> 3) << 5) | (Blue(rgb) >> 3));
    const size_t row = PaddedRow(size_t{width} * 2);
    for (uint16_t y = 0; y < height; ++y) {
      for (uint16_t x = 0; x < width; ++x) {
        data.push_back(static_cast<uint8_t>(pixel >> 8));
        data.push_back(static_cast<uint8_t>(pixel & 0xFF));
      }
      data.resize(data.size() + row - size_t{width} * 2, 0);
    }
  } else {  // 32-bit pixels: opaque ARGB, or a reserved byte and RGB without alpha
    for (size_t i = 0; i < size_t{width} * height; ++i) {
      data.insert(data.end(),
                  {static_cast<uint8_t>(alpha ? 0xFF : 0), Red(rgb), Green(rgb), Blue(rgb)});
    }
  }
  return data;
}

}  // namespace

std::vector<uint8_t> FmrMovieBuilder::ZlibStored(const std::vector<uint8_t>& data, bool checksum) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t offset = 0;
  do {
    const size_t chunk = std::min<size_t>(data.size() - offset, 0xFFFF);
    const bool last = offset + chunk == data.size();
    out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    ZuLittleEndian::AppendU16(out, static_cast<uint16_t>(chunk));
    ZuLittleEndian::AppendU16(out, static_cast<uint16_t>(~chunk));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
               data.begin() + static_cast<std::ptrdiff_t>(offset + chunk));
    offset += chunk;
  } while (offset < data.size());
  if (!checksum) {
    return out;
  }
  uint32_t a = 1, b = 0;  // Adler-32, written big-endian
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  const uint32_t adler = (b << 16) | a;
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<uint8_t>(adler >> shift));
  }
  return out;
}

ZuSwfTag* FmrMovieBuilder::MakeTag(enuTagType type, std::vector<uint8_t> body) {
  const bool longHeader = body.size() >= 63;
  return ZuSwfTagFactory::CreateTagFromBody(type, ZuSharedBytes::Adopt(std::move(body)),
                                            longHeader);
}

std::vector<uint8_t> FmrMovieBuilder::BitmapBody(uint16_t id, uint8_t format, uint16_t width,
                                                 uint16_t height, int tableSizeByte,
                                                 const std::vector<uint8_t>& data) {
  std::vector<uint8_t> body;
  ZuLittleEndian::AppendU16(body, id);
  body.push_back(format);
  ZuLittleEndian::AppendU16(body, width);
  ZuLittleEndian::AppendU16(body, height);
  if (tableSizeByte >= 0) {
    body.push_back(static_cast<uint8_t>(tableSizeByte));
  }
  body.insert(body.end(), data.begin(), data.end());
  return body;
}

ZuSwfTag* FmrMovieBuilder::MakeBitmap(uint16_t id, uint16_t width, uint16_t height, uint32_t rgb,
                                      enuTagType type, uint8_t format) {
  const bool alpha = type == ZuSwfTagFactory::kDefineBitsLossless2;
  std::vector<uint8_t> body =  // a one-entry colour table in format 3
      BitmapBody(id, format, width, height, format == 3 ? 0 : -1,
                 ZlibStored(PixelData(width, height, rgb, alpha, format)));
  return ZuSwfTagFactory::CreateTagFromBody(type, ZuSharedBytes::Adopt(std::move(body)), true);
}

ZuSwfTag* FmrMovieBuilder::MakeBrokenBitmap(uint16_t id, uint16_t width, uint16_t height) {
  std::vector<uint8_t> data = {0x78, 0x9C};
  data.insert(data.end(), 40, 0xA5);
  return ZuSwfTagFactory::CreateTagFromBody(
      ZuSwfTagFactory::kDefineBitsLossless2,
      ZuSharedBytes::Adopt(BitmapBody(id, 5, width, height, -1, data)), true);
}

ZuSwfTag* FmrMovieBuilder::MakeShape(uint16_t id, uint16_t bitmapId, uint16_t x, uint16_t y,
                                     uint16_t width, uint16_t height) {
  ZuSwfTag* tag = ZuSwfTagFactory::CreateTagOfType(ZuSwfTagFactory::kDefineShape3, 0, 0);
  auto* shape = dynamic_cast<ZuSwfDefineShapeTag*>(tag);
  if (shape == nullptr) {
    delete tag;
    throw std::logic_error("DefineShape3 is not made as a ZuSwfDefineShapeTag");
  }
  shape->CreateShapeForImage(bitmapId, x, y, width, height, width, height, 0);
  shape->SetCharacterId(id);
  return shape;
}

ZuSwfTag* FmrMovieBuilder::MakePlacement(uint16_t characterId, uint16_t depth) {
  return ZuSwfPlaceObject2Tag::Create(characterId, depth, 0.0, 0.0, "", {});
}

ZuSwfTag* FmrMovieBuilder::MakeFreeCharacter(uint16_t id) {
  return MakeTag(ZuSwfTagFactory::kFreeCharacter, {uint8_t(id), uint8_t(id >> 8)});
}

ZuSwfTag* FmrMovieBuilder::MakeRemoveObject2(uint16_t depth) {
  return MakeTag(ZuSwfTagFactory::kRemoveObject2, {uint8_t(depth), uint8_t(depth >> 8)});
}

ZuSwfTag* FmrMovieBuilder::MakeShowFrame() {
  return MakeTag(ZuSwfTagFactory::kShowFrame, {});
}

ZuSwfTag* FmrMovieBuilder::MakeStopAction() {
  return MakeTag(ZuSwfTagFactory::kDoAction, {0x07, 0x00});  // ActionStop, ActionEndFlag
}

FmrMovieBuilder::FmrMovieBuilder(uint16_t width, uint16_t height, uint16_t frameRate) {
  m_movie.SetTavoVersion(10);
  m_movie.SetWidth(width);
  m_movie.SetHeight(height);
  m_movie.SetFrameRate(frameRate);
  m_movie.AppendTag(MakeTag(ZuSwfTagFactory::kFileAttributes, {0, 0, 0, 0}));
  m_movie.AppendTag(MakeTag(ZuSwfTagFactory::kSetBackgroundColor, {0xFF, 0xFF, 0xFF}));
}

FmrMovieBuilder FmrMovieBuilder::Simple(int frames, int blockFrames, uint16_t width,
                                        uint16_t height) {
  FmrMovieBuilder builder(width, height, 10);
  builder.KeyFrame(0x336699);
  for (int i = 1; i + 1 < frames; ++i) {
    if (blockFrames == 0) {
      builder.HoldFrame();
    } else if (i % blockFrames == 0) {
      builder.KeyFrame(0x203040 + 0x10 * i);
    } else {
      builder.PartialFrame(static_cast<uint16_t>(2 * i % (width - 6)), 4, 6, 5,
                           0xFF0000 + 0x900 * i);
    }
  }
  builder.StopFrame();
  return builder;
}

FmrMovieBuilder& FmrMovieBuilder::KeyFrame(uint32_t rgb) {
  for (uint16_t bitmap : m_blockBitmaps) {
    m_movie.AppendTag(MakeFreeCharacter(bitmap));
  }
  const uint16_t width = static_cast<uint16_t>(m_movie.GetWidth());
  const uint16_t height = static_cast<uint16_t>(m_movie.GetHeight());
  const uint16_t bitmap = NextId();
  const uint16_t shape = NextId();
  m_movie.AppendTag(MakeBitmap(bitmap, width, height, rgb));
  m_movie.AppendTag(MakeShape(shape, bitmap, 0, 0, width, height));
  for (uint16_t depth : m_blockDepths) {
    m_movie.AppendTag(MakeRemoveObject2(depth));
  }
  m_movie.AppendTag(MakePlacement(shape, 1));
  m_movie.AppendTag(MakeShowFrame());
  m_blockBitmaps = {bitmap};
  m_blockDepths = {1};
  m_nextPartialDepth = 101;
  return *this;
}

FmrMovieBuilder& FmrMovieBuilder::PartialFrame(uint16_t x, uint16_t y, uint16_t width,
                                               uint16_t height, uint32_t rgb) {
  const uint16_t bitmap = NextId();
  const uint16_t shape = NextId();
  const uint16_t depth = m_nextPartialDepth++;
  m_movie.AppendTag(MakeBitmap(bitmap, width, height, rgb));
  m_movie.AppendTag(MakeShape(shape, bitmap, x, y, width, height));
  m_movie.AppendTag(MakePlacement(shape, depth));
  m_movie.AppendTag(MakeShowFrame());
  m_blockBitmaps.push_back(bitmap);
  m_blockDepths.push_back(depth);
  return *this;
}

FmrMovieBuilder& FmrMovieBuilder::HoldFrame() {
  return Tag(MakeShowFrame());
}

FmrMovieBuilder& FmrMovieBuilder::StopFrame() {
  Tag(MakeStopAction());
  return Tag(MakeShowFrame());
}

FmrMovieBuilder& FmrMovieBuilder::Tag(ZuSwfTag* tag) {
  m_movie.AppendTag(tag);
  return *this;
}

std::unique_ptr<ZuTavoFile> FmrMovieBuilder::Build() const {
  auto movie = std::make_unique<ZuTavoFile>(m_movie);
  uint16_t frames = 0;
  for (const ZuSwfTag* tag : *movie) {
    if (tag != nullptr && tag->GetTagType() == ZuSwfTagFactory::kShowFrame) {
      ++frames;
    }
  }
  movie->SetFrameCount(frames);
  return movie;
}

void FmrMovieBuilder::WriteFile(const std::string& path) const {
  ZuMemoryStream stream;
  if (Build()->DumpToStream(&stream) != kZuSuccess) {
    throw std::runtime_error("the built movie could not be written");
  }
  WriteFileBytes(path, stream.TakeBytes());
}
