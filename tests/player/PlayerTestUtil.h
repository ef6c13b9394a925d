#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/swf/ZuTavoFile.h"

// Helpers for the player tests: shape, bitmap and placement tags built field by field,
// small movies in memory, and rendering a frame.

class ZuTavoPlayer;

// A pixel as the player's RGBA bytes.
struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgba& color);

// Opaque pixels.
constexpr Rgba kWhitePixel{255, 255, 255, 255}, kRedPixel{255, 0, 0, 255},
    kGreenPixel{0, 255, 0, 255}, kBluePixel{0, 0, 255, 255};

Rgba PixelAt(const ZuImage& image, int x, int y);

// A matrix from floating-point scale, skew and a translation in pixels.
ZuSwfMatrix Matrix(double scaleX, double scaleY, double skew0, double skew1, double xPixels,
                   double yPixels);

// Writes a DefineShape3 body: fill styles first (no line styles), then records. Coordinates
// are in pixels (whole or fractional) and become twips. Style numbers count from 1, 0 is none.
class ShapeWriter {
 public:
  ShapeWriter& Solid(uint32_t rgba);
  // type 0x40 to 0x43; matrix maps bitmap pixels to shape twips.
  ShapeWriter& BitmapFill(uint16_t bitmapId, uint8_t type, const ZuSwfMatrix& matrix);

  ShapeWriter& Styles(int fill0, int fill1);
  ShapeWriter& MoveTo(double x, double y);
  ShapeWriter& LineTo(double x, double y);
  // A closed rectangle with the current styles, clockwise on screen from its top left.
  ShapeWriter& Rect(double x, double y, double width, double height);

  std::vector<uint8_t> Body(uint16_t id) const;
  ZuSwfTag* Tag(uint16_t id) const;

 private:
  struct Record {
    enum Kind { kStyles, kMove, kLine } kind;
    int32_t a = 0, b = 0;
  };

  std::vector<std::vector<uint8_t>> m_fills;
  std::vector<Record> m_records;
  int32_t m_x = 0, m_y = 0;  // the pen, twips
};

// A DefineBitsLossless2 tag (format 5) holding the pixels of image.
ZuSwfTag* MakeBitmapTag(uint16_t id, const ZuImage& image);

// A PlaceObject2 tag. move: change what stands at depth. characterId 0: none.
struct Placement {
  uint16_t depth = 1;
  uint16_t characterId = 0;
  bool move = false;
  const ZuSwfMatrix* matrix = nullptr;
};
ZuSwfTag* MakePlaceTag(const Placement& placement);
ZuSwfTag* MakeBackgroundTag(uint32_t rgb);

// A movie of the stage size in pixels, to be given tags with Add.
class TestMovie {
 public:
  TestMovie(uint32_t width, uint32_t height);
  TestMovie& Add(ZuSwfTag* tag);
  TestMovie& Place(uint16_t depth, uint16_t characterId);
  TestMovie& Frame();
  ZuTavoFile& Movie() { return m_movie; }

 private:
  ZuTavoFile m_movie;
};

// A player that loaded movie from a file: the movie is written (FWS), checked by the
// independent parser and loaded by path. Fails the test and returns null when it cannot.
std::unique_ptr<ZuTavoPlayer> PlayFromFile(ZuTavoFile& movie);

// What player shows at frame (going there first); null and a test failure when it cannot.
std::unique_ptr<ZuImage> ShowFrame(ZuTavoPlayer& player, int frame);

// Renders one frame of movie with a new player; null when any step fails.
std::unique_ptr<ZuImage> RenderFrame(const ZuTavoFile& movie, int frame);
