#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"

class ZuSwfTag;

// Builds small movies of the FMR form tag by tag, the way the recorder writes them, so
// tests can load them, edit them and break them on purpose:
//
//   header:      FileAttributes, SetBackgroundColor
//   key frame:   [clean-up: FreeCharacter per bitmap of the open block]
//                DefineBitsLossless2 (stage size), DefineShape3
//                [clean-up: RemoveObject2 per depth of the open block]
//                PlaceObject2 at depth 1, ShowFrame
//   partial:     DefineBitsLossless2 (the rectangle), DefineShape3 at its position,
//                PlaceObject2 at the next depth from 101, ShowFrame
//   hold / stop: ShowFrame / DoAction(stop), ShowFrame
//
// Character ids are handed out from 1 upwards. Bitmap bodies are real format 3, 4 or 5
// bitmaps of one color, zlib-wrapped in stored (uncompressed) deflate blocks.
class FmrMovieBuilder {
 public:
  // Starts a movie of the stage size (pixels) and whole frame rate, with its two header tags.
  FmrMovieBuilder(uint16_t width, uint16_t height, uint16_t frameRate);

  // A movie of frames frames (at least two) at 10 frames a second: a key frame every
  // blockFrames frames and partial frames between them, or with blockFrames 0 one key frame
  // and frames that change nothing; a stop frame last. Cheap at any length when blockFrames is 0.
  static FmrMovieBuilder Simple(int frames, int blockFrames, uint16_t width = 32,
                                uint16_t height = 24);

  // Opens a key-frame block showing the whole stage in one color (0xRRGGBB), closing the
  // open block first with its clean-up block.
  FmrMovieBuilder& KeyFrame(uint32_t rgb);
  // A frame drawing a rectangle of one color over the open block.
  FmrMovieBuilder& PartialFrame(uint16_t x, uint16_t y, uint16_t width, uint16_t height,
                                uint32_t rgb);
  // A lone ShowFrame.
  FmrMovieBuilder& HoldFrame();
  // DoAction holding the stop action, then ShowFrame.
  FmrMovieBuilder& StopFrame();
  // Appends any tag; the builder owns it.
  FmrMovieBuilder& Tag(ZuSwfTag* tag);

  // A copy of the movie so far, its header frame count set to its ShowFrame tags.
  std::unique_ptr<ZuTavoFile> Build() const;
  // Writes the movie so far as an uncompressed SWF file.
  void WriteFile(const std::string& path) const;

  // The last character id handed out (0 before any).
  uint16_t GetLastId() const { return m_lastId; }

  // Single tags, owned by the caller. Bitmaps hold width x height pixels of rgb in the
  // given format (3 colour-mapped, 4 15-bit, 5 32-bit) inside a DefineBitsLossless or
  // DefineBitsLossless2 tag.
  static ZuSwfTag* MakeBitmap(uint16_t id, uint16_t width, uint16_t height, uint32_t rgb,
                              enuTagType type = ZuSwfTagFactory::kDefineBitsLossless2,
                              uint8_t format = 5);
  // A DefineBitsLossless2 tag (format 5) whose header reads well and whose data, after a zlib
  // header, does not inflate.
  static ZuSwfTag* MakeBrokenBitmap(uint16_t id, uint16_t width, uint16_t height);
  // A DefineShape3 rectangle at (x, y) filled with the bitmap at its own size.
  static ZuSwfTag* MakeShape(uint16_t id, uint16_t bitmapId, uint16_t x, uint16_t y, uint16_t width,
                             uint16_t height);
  static ZuSwfTag* MakePlacement(uint16_t characterId, uint16_t depth);
  static ZuSwfTag* MakeFreeCharacter(uint16_t id);
  static ZuSwfTag* MakeRemoveObject2(uint16_t depth);
  static ZuSwfTag* MakeShowFrame();
  static ZuSwfTag* MakeStopAction();
  // A lossless bitmap body: id, format, width, height, the table size byte when it is not
  // negative, then data as given.
  static std::vector<uint8_t> BitmapBody(uint16_t id, uint8_t format, uint16_t width,
                                         uint16_t height, int tableSizeByte,
                                         const std::vector<uint8_t>& data);
  // A tag of any code with the given body.
  static ZuSwfTag* MakeTag(enuTagType type, std::vector<uint8_t> body);

  // data wrapped as a zlib stream of stored deflate blocks, with or without its Adler-32
  // checksum.
  static std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& data, bool checksum = true);

 private:
  uint16_t NextId() { return ++m_lastId; }

  ZuTavoFile m_movie;
  uint16_t m_lastId = 0;
  std::vector<uint16_t> m_blockBitmaps;  // bitmaps the open block defined
  std::vector<uint16_t> m_blockDepths;   // depths the open block placed
  uint16_t m_nextPartialDepth = 101;
};
