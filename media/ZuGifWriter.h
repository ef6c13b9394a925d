#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/ZuAnimationFile.h"
#include "media/ZuAnimationFormat.h"
#include "media/ZuColourQuantizer.h"
#include "media/ZuColourTally.h"
#include "media/ZuGifLzw.h"

// GIF's clock: the hundredth of a second picture tick of frameRate a second starts at, and
// the shortest delay a frame gets at maxFrameRate frames a second at most.
int64_t ZuGifTimeOfTick(int64_t tick, int frameRate);
int64_t ZuGifMinDelay(double maxFrameRate);

// Writes a GIF of frames of changed rectangles. Each frame is its rectangle only; pixels in it
// that did not change are transparent, so they keep what the frames before showed and no
// dithering ever touches them. Its colours come from the first table that shows them exactly:
//  - the global table: the colours most frames use (counted beforehand by a census of the
//    frames), then the new ones of frames as they come while it has room;
//  - a local table of the frame's own colours, when the global one has no room, or when the
//    local one codes smaller (a few colours need fewer bits a code than indices high in a
//    full global table);
//  - and only for a frame of more colours than a table holds, a palette libimagequant chooses
//    for its changed pixels (the global table, when no frame needed it before).
// The global table's room is reserved in the header and filled in at the end, so frames are
// written as they come and memory does not grow with the clip.
class ZuGifWriter : public ZuAnimationFormat {
 public:
  // globalColours: the colours the global table starts with, most frequent first (see
  // ZuGifColourCensus; at most settings.colours - 1); later frames add theirs while it has
  // room. Throws ZuMediaError when the file cannot be made.
  ZuGifWriter(const std::string& path, const ZuAnimationSettings& settings,
              const std::vector<uint32_t>& globalColours);
  ~ZuGifWriter() override;

  // Hundredths of a second, as GIF counts delays.
  int64_t TimeOfTick(int64_t tick) const override;
  int64_t MinDelay() const override;
  int64_t MaxDelay() const override { return 0xFFFF; }
  void WriteFrame(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                  int64_t delay) override;
  uint64_t BytesWritten() const override;
  void Finish() override;

 private:
  // The colour indices of one frame and the table they index.
  struct Coded {
    std::vector<uint32_t> localTable;  // empty: the global table
    int codeSize = 2;
    std::vector<uint8_t> data;  // the code size byte and the LZW sub-blocks
  };

  void WriteHeader();
  void CodeExact(const ZuImage& picture, const ZuPixelRect& rect, bool transparent, Coded& coded);
  void CodeQuantized(const ZuImage& picture, const ZuPixelRect& rect, bool transparent,
                     Coded& coded);
  // Indices of the changed pixels in lookup (0 for the others) into m_indices; returns the
  // highest index used.
  int IndexWith(const ZuImage& picture, const ZuPixelRect& rect, const ZuColourTally& lookup);
  void AddToGlobal(const std::vector<uint32_t>& colours);
  void PutFrame(const ZuPixelRect& rect, bool transparent, int64_t delay, const Coded& coded);
  void Put(const std::vector<uint8_t>& bytes);

  std::string m_path;
  ZuAnimationSettings m_settings;
  ZuAnimationFile m_file;
  int m_globalSlots = 2;              // entries reserved for the global table (a power of 2)
  std::vector<uint32_t> m_global{0};  // the global table; entry 0 is the transparent one
  ZuColourTally m_globalIndex;        // colour to its index in m_global
  bool m_globalClosed = false;        // a quantized palette: no colours are added to it

  ZuColourTally m_tally;
  ZuColourQuantizer m_quantizer;
  ZuGifLzw m_lzw;
  std::vector<uint8_t> m_changed;  // per pixel of the frame's rect: 1 when it changed
  std::vector<uint8_t> m_indices;
  std::vector<uint8_t> m_rgba;  // the rect for the quantizer, unchanged pixels transparent
  std::vector<uint8_t> m_bytes;
};
