#include "tests/player/PlayerTestUtil.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

int32_t Twips(double pixels) {
  return static_cast<int32_t>(std::lround(pixels * 20));
}

int32_t Fixed(double value) {
  return static_cast<int32_t>(std::lround(value * 65536));
}

std::vector<uint8_t> MatrixBytes(const ZuSwfMatrix& matrix) {
  ZuBitWriter out;
  matrix.Write(out);
  return out.TakeBytes();
}

unsigned BitsFor(std::initializer_list<int32_t> values) {
  unsigned bits = 2;
  for (int32_t v : values) bits = std::max(bits, ZuBitWriter::SignedBitsNeeded(v));
  return bits;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "rgba(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

Rgba PixelAt(const ZuImage& image, int x, int y) {
  const uint8_t* p = image.Row(y) + size_t(x) * 4;
  return {p[0], p[1], p[2], p[3]};
}

ZuSwfMatrix Matrix(double scaleX, double scaleY, double skew0, double skew1, double xPixels,
                   double yPixels) {
  ZuSwfMatrix m;
  m.scaleX = Fixed(scaleX);
  m.scaleY = Fixed(scaleY);
  m.rotateSkew0 = Fixed(skew0);
  m.rotateSkew1 = Fixed(skew1);
  m.translateX = Twips(xPixels);
  m.translateY = Twips(yPixels);
  return m;
}

ShapeWriter& ShapeWriter::Solid(uint32_t rgba) {
  m_fills.push_back(
      {0x00, uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8), uint8_t(rgba)});
  return *this;
}

ShapeWriter& ShapeWriter::BitmapFill(uint16_t bitmapId, uint8_t type, const ZuSwfMatrix& matrix) {
  std::vector<uint8_t> style = {type, uint8_t(bitmapId), uint8_t(bitmapId >> 8)};
  std::vector<uint8_t> m = MatrixBytes(matrix);
  style.insert(style.end(), m.begin(), m.end());
  m_fills.push_back(style);
  return *this;
}

ShapeWriter& ShapeWriter::Styles(int fill0, int fill1) {
  m_records.push_back({Record::kStyles, fill0, fill1});
  return *this;
}

ShapeWriter& ShapeWriter::MoveTo(double x, double y) {
  m_x = Twips(x);
  m_y = Twips(y);
  m_records.push_back({Record::kMove, m_x, m_y});
  return *this;
}

ShapeWriter& ShapeWriter::LineTo(double x, double y) {
  int32_t tx = Twips(x), ty = Twips(y);
  m_records.push_back({Record::kLine, tx - m_x, ty - m_y});
  m_x = tx;
  m_y = ty;
  return *this;
}

ShapeWriter& ShapeWriter::Rect(double x, double y, double width, double height) {
  return MoveTo(x, y)
      .LineTo(x + width, y)
      .LineTo(x + width, y + height)
      .LineTo(x, y + height)
      .LineTo(x, y);
}

std::vector<uint8_t> ShapeWriter::Body(uint16_t id) const {
  ZuBitWriter out;
  out.WriteWord(id);
  ZuSwfRect bounds{0, 20 * 100, 0, 20 * 100};  // not used for drawing
  bounds.Write(out);
  out.WriteByte(uint8_t(m_fills.size()));
  for (const auto& style : m_fills) out.WriteBytes(style);
  out.WriteByte(0);  // no line styles
  const unsigned fillBits = ZuBitWriter::UnsignedBitsNeeded(uint32_t(m_fills.size()));
  out.WriteBits(4, fillBits);
  out.WriteBits(4, 0);  // line style bits
  for (const Record& r : m_records) {
    switch (r.kind) {
      case Record::kStyles:
        out.WriteBits(1, 0);
        out.WriteBits(5, 0x0E);
        out.WriteBits(fillBits, uint32_t(r.a));
        out.WriteBits(fillBits, uint32_t(r.b));
        break;
      case Record::kMove: {
        unsigned bits = BitsFor({r.a, r.b});
        out.WriteBits(1, 0);
        out.WriteBits(5, 0x01);
        out.WriteBits(5, bits);
        out.WriteSignedBits(bits, r.a);
        out.WriteSignedBits(bits, r.b);
        break;
      }
      case Record::kLine: {
        unsigned bits = BitsFor({r.a, r.b});
        out.WriteBits(2, 0x3);  // edge, straight
        out.WriteBits(4, bits - 2);
        out.WriteBits(1, 1);  // general line
        out.WriteSignedBits(bits, r.a);
        out.WriteSignedBits(bits, r.b);
        break;
      }
    }
  }
  out.WriteBits(6, 0);  // end of shape
  out.AlignToByte();
  return out.TakeBytes();
}

ZuSwfTag* ShapeWriter::Tag(uint16_t id) const {
  return FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kDefineShape3, Body(id));
}

ZuSwfTag* MakeBitmapTag(uint16_t id, const ZuImage& image) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < image.GetHeight(); ++y) {
    for (int x = 0; x < image.GetWidth(); ++x) {
      Rgba c = PixelAt(image, x, y);
      auto premultiply = [&](uint8_t v) { return uint8_t((v * c.a + 127) / 255); };
      pixels.insert(pixels.end(), {c.a, premultiply(c.r), premultiply(c.g), premultiply(c.b)});
    }
  }
  ZuSwfTag* tag = FmrMovieBuilder::MakeTag(
      ZuSwfTagFactory::kDefineBitsLossless2,
      FmrMovieBuilder::BitmapBody(id, 5, uint16_t(image.GetWidth()), uint16_t(image.GetHeight()),
                                  -1, FmrMovieBuilder::ZlibStored(pixels)));
  tag->SetLongHeader(true);
  return tag;
}

ZuSwfTag* MakePlaceTag(const Placement& p) {
  ZuBitWriter out;
  out.WriteByte((p.move ? 0x01 : 0) | (p.characterId != 0 ? 0x02 : 0) |
                (p.matrix != nullptr ? 0x04 : 0));
  out.WriteWord(p.depth);
  if (p.characterId != 0) out.WriteWord(p.characterId);
  if (p.matrix != nullptr) p.matrix->Write(out);
  return FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kPlaceObject2, out.TakeBytes());
}

ZuSwfTag* MakeBackgroundTag(uint32_t rgb) {
  return FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kSetBackgroundColor,
                                  {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
}

TestMovie::TestMovie(uint32_t width, uint32_t height) {
  m_movie.SetWidth(width);
  m_movie.SetHeight(height);
  m_movie.SetFrameRate(10);
}

TestMovie& TestMovie::Frame() {
  return Add(FmrMovieBuilder::MakeShowFrame());
}

TestMovie& TestMovie::Add(ZuSwfTag* tag) {
  m_movie.AppendTag(tag);
  if (tag->GetTagType() == ZuSwfTagFactory::kShowFrame) {
    m_movie.SetFrameCount(uint16_t(m_movie.GetFrameCount() + 1));
  }
  return *this;
}

TestMovie& TestMovie::Place(uint16_t depth, uint16_t characterId) {
  return Add(MakePlaceTag({depth, characterId}));
}

std::unique_ptr<ZuTavoPlayer> PlayFromFile(ZuTavoFile& movie) {
  TempDir dir;
  const std::string path = dir.File("movie.swf");
  WriteMovieFile(movie, path);
  ExpectOracleAccepts(path, movie);
  auto player = std::make_unique<ZuTavoPlayer>(32);
  if (player->LoadMovie(ZuString(path), 0, 1) != 1) {
    ADD_FAILURE() << player->GetLastError();
    return nullptr;
  }
  EXPECT_EQ(player->GetFrameCount(), movie.GetFrameCount());
  return player;
}

std::unique_ptr<ZuImage> ShowFrame(ZuTavoPlayer& player, int frame) {
  std::unique_ptr<ZuImage> image;
  if (player.GotoFrameAndPlay(frame)) image.reset(player.GetCurrentScreenImage());
  EXPECT_NE(image, nullptr) << "frame " << frame << ": " << player.GetLastError();
  return image;
}

std::unique_ptr<ZuImage> RenderFrame(const ZuTavoFile& movie, int frame) {
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(movie) || !player.GotoFrameAndPlay(frame) || !player.Stop()) return nullptr;
  return std::unique_ptr<ZuImage>(player.GetCurrentScreenImage());
}
