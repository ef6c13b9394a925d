#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/ZuAnimationFormat.h"

class ZuAnimationFile;
struct libdeflate_compressor;

// Writes an animated PNG, one frame at a time, holding no more than one frame's bytes.
// Each frame is the rectangle that changed, in 8-bit RGBA: the first frame replaces the
// canvas, later ones are laid over it, and their pixels that equal the picture before are
// written fully transparent so that they compress to almost nothing and let the canvas show
// through. Frames never clear what they leave, so the canvas is always the last picture.
// Delays are counted in ticks of the settings' frame rate (the frame's delay denominator).
//
// The writer owns the file stream and the compressor.
class ZuApngWriter : public ZuAnimationFormat {
 public:
  // Checks settings and opens the file; throws ZuMediaError naming path when either fails.
  ZuApngWriter(const std::string& path, const ZuAnimationSettings& settings);
  ~ZuApngWriter() override;
  ZuApngWriter(const ZuApngWriter&) = delete;
  ZuApngWriter& operator=(const ZuApngWriter&) = delete;

  int64_t TimeOfTick(int64_t tick) const override { return tick; }
  int64_t MinDelay() const override;
  int64_t MaxDelay() const override;
  void WriteFrame(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                  int64_t delay) override;
  uint64_t BytesWritten() const override;
  void Finish() override;

 private:
  struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const;
  };

  // The signature, the header and the animation control with no frames counted yet.
  void WriteHead();
  void CheckFrame(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                  int64_t delay) const;
  // Fills m_plain with the rows of rect, pixels equal to previous's cleared, unfiltered, and
  // m_filtered with the same rows filtered.
  void FilterRect(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect);
  // Leaves in m_compressed the smaller of the two forms deflated. Filters help gradients and
  // photos (a quarter smaller) but break up the repeats of text and flat windows that
  // deflate finds unfiltered (a sixth smaller there), and a second deflate costs less than
  // the filter guessing does.
  void Compress();
  void Deflate(const std::vector<uint8_t>& rows, std::vector<uint8_t>& out);
  void WriteFrameControl(const ZuPixelRect& placed, int64_t delay, bool over);
  void WriteAnimationControl(uint32_t frames);
  // Writes a chunk whose data is head followed by body.
  void WriteChunk(const char* type, const uint8_t* head, size_t headSize, const uint8_t* body,
                  size_t bodySize);
  void WriteBytes(const void* data, size_t size);
  [[noreturn]] void Fail(const std::string& reason) const;

  std::string m_path;
  ZuAnimationSettings m_settings;
  std::unique_ptr<ZuAnimationFile> m_file;  // made once the settings are checked
  std::unique_ptr<libdeflate_compressor, CompressorDeleter> m_compressor;
  uint32_t m_sequence = 0;  // the next frame control or frame data chunk's number
  uint32_t m_frames = 0;
  bool m_finished = false;
  // One frame's working bytes, kept between frames to spare reallocation.
  std::vector<uint8_t> m_filtered;
  std::vector<uint8_t> m_plain;
  std::vector<uint8_t> m_compressed;
  std::vector<uint8_t> m_spare;  // the other form deflated
};
