#include "media/ZuApngWriter.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "host/image/ZuImage.h"
#include "media/ZuAnimationFile.h"
#include "media/ZuMediaError.h"
#include "media/ZuPngRowFilter.h"

namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr int kBytesPerPixel = 4;
// The animation control chunk follows the signature and the 13-byte header chunk; Finish
// rewrites it there once the number of frames is known.
constexpr uint64_t kAnimationControlOffset = kSignature.size() + 4 + 4 + 13 + 4;
// Frame delays are 16-bit numerators over the frame rate as a 16-bit denominator.
constexpr int64_t kMaxDelay = 65535;
constexpr int kMaxFrameRate = 255;
// libdeflate's level 6, measured on 1280x720 pictures (three screenshots of text and
// windows, a drawn demo screen, a photo): levels 1 to 4 take about as long for files up to 5%
// larger, level 9 takes two to three times as long for 1-3% less, level 12 fifty times as
// long for 4-8% less.
constexpr int kCompressionLevel = 6;

void Put32(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

void Put16(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 8);
  out[1] = static_cast<uint8_t>(value);
}

// The one-pixel frame that stands for a frame changing nothing (no frame may be empty).
constexpr ZuPixelRect kUnchangedRect = {0, 0, 1, 1};

}  // namespace

void ZuApngWriter::CompressorDeleter::operator()(libdeflate_compressor* compressor) const {
  libdeflate_free_compressor(compressor);
}

ZuApngWriter::ZuApngWriter(const std::string& path, const ZuAnimationSettings& settings)
    : m_path(path), m_settings(settings) {
  if (settings.width < 1 || settings.height < 1 || settings.width > ZuImage::kMaxSide ||
      settings.height > ZuImage::kMaxSide) {
    Fail("a picture of " + std::to_string(settings.width) + "x" + std::to_string(settings.height) +
         " pixels cannot be animated");
  }
  if (settings.frameRate < 1 || settings.frameRate > kMaxFrameRate) {
    Fail("frame rate " + std::to_string(settings.frameRate) + " is not between 1 and " +
         std::to_string(kMaxFrameRate));
  }
  // Written as it is negated, so that not a number fails too.
  if (!(settings.maxFrameRate > 0)) {
    Fail("a highest frame rate of " + std::to_string(settings.maxFrameRate) + " shows no frames");
  }
  m_compressor.reset(libdeflate_alloc_compressor(kCompressionLevel));
  if (!m_compressor) {
    throw std::bad_alloc();
  }
  m_file = std::make_unique<ZuAnimationFile>(path);
  WriteHead();
}

void ZuApngWriter::WriteHead() {
  WriteBytes(kSignature.data(), kSignature.size());
  std::array<uint8_t, 13> header = {};
  Put32(header.data(), static_cast<uint32_t>(m_settings.width));
  Put32(header.data() + 4, static_cast<uint32_t>(m_settings.height));
  header[8] = 8;  // bits per sample
  header[9] = 6;  // colour type: red, green, blue and alpha
  // Compression, filter and interlace methods stay 0: deflate, per-row filters, none.
  WriteChunk("IHDR", header.data(), header.size(), nullptr, 0);
  WriteAnimationControl(0);
}

ZuApngWriter::~ZuApngWriter() = default;

int64_t ZuApngWriter::MinDelay() const {
  // The small allowance keeps a quotient that is whole but for rounding (15 / 7.5) whole.
  const double ticks = std::ceil(m_settings.frameRate / m_settings.maxFrameRate - 1e-9);
  return std::max<int64_t>(static_cast<int64_t>(ticks), 1);
}

int64_t ZuApngWriter::MaxDelay() const {
  return kMaxDelay;
}

uint64_t ZuApngWriter::BytesWritten() const {
  return m_file->Size();
}

void ZuApngWriter::WriteFrame(const ZuImage& picture, const ZuImage* previous,
                              const ZuPixelRect& rect, int64_t delay) {
  CheckFrame(picture, previous, rect, delay);
  const bool first = m_frames == 0;
  // The first frame is the whole picture, written as it is.
  const ZuImage* under = first ? nullptr : previous;
  const ZuPixelRect placed = rect.IsEmpty() ? kUnchangedRect : rect;
  if (rect.IsEmpty()) {
    m_filtered.assign(1 + kBytesPerPixel, 0);  // filter None, one transparent pixel
    m_plain = m_filtered;
  } else {
    FilterRect(picture, under, rect);
  }
  Compress();
  WriteFrameControl(placed, delay, !first);
  if (first) {
    WriteChunk("IDAT", nullptr, 0, m_compressed.data(), m_compressed.size());
  } else {
    std::array<uint8_t, 4> sequence = {};
    Put32(sequence.data(), m_sequence++);
    WriteChunk("fdAT", sequence.data(), sequence.size(), m_compressed.data(), m_compressed.size());
  }
  ++m_frames;
}

void ZuApngWriter::CheckFrame(const ZuImage& picture, const ZuImage* previous,
                              const ZuPixelRect& rect, int64_t delay) const {
  if (m_finished) {
    Fail("a frame came after the end");
  }
  const ZuPixelRect whole = {0, 0, m_settings.width, m_settings.height};
  const auto sized = [this](const ZuImage& image) {
    return image.GetWidth() == m_settings.width && image.GetHeight() == m_settings.height;
  };
  if (!sized(picture) || (previous != nullptr && !sized(*previous))) {
    Fail("a picture is not " + std::to_string(m_settings.width) + "x" +
         std::to_string(m_settings.height));
  }
  if (m_frames == 0 ? rect != whole : !rect.IsEmpty() && rect.Intersect(whole) != rect) {
    Fail("a frame's rectangle does not fit the picture");
  }
  if (delay < 1 || delay > kMaxDelay) {
    Fail("frame delay " + std::to_string(delay) + " is not between 1 and " +
         std::to_string(kMaxDelay));
  }
}

void ZuApngWriter::FilterRect(const ZuImage& picture, const ZuImage* previous,
                              const ZuPixelRect& rect) {
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * kBytesPerPixel;
  const size_t stride = 1 + rowBytes;  // a filter type byte, then the row
  const size_t left = static_cast<size_t>(rect.left) * kBytesPerPixel;
  m_plain.resize(stride * static_cast<size_t>(rect.Height()));
  m_filtered.resize(m_plain.size());
  for (int y = rect.top; y < rect.bottom; ++y) {
    const size_t at = static_cast<size_t>(y - rect.top) * stride;
    uint8_t* row = m_plain.data() + at + 1;
    const uint8_t* source = picture.Row(y) + left;
    m_plain[at] = 0;  // filter None
    std::memcpy(row, source, rowBytes);
    if (previous != nullptr) {
      // Clearing whole pixels that match the picture before: a transparent pixel laid over
      // the canvas keeps what it shows.
      const uint8_t* before = previous->Row(y) + left;
      for (size_t i = 0; i < rowBytes; i += kBytesPerPixel) {
        if (std::memcmp(source + i, before + i, kBytesPerPixel) == 0) {
          std::memset(row + i, 0, kBytesPerPixel);
        }
      }
    }
    const uint8_t* above = y == rect.top ? nullptr : row - stride;
    ZuFilterPngRow(row, above, rowBytes, kBytesPerPixel, m_filtered.data() + at);
  }
}

void ZuApngWriter::Compress() {
  Deflate(m_filtered, m_compressed);
  Deflate(m_plain, m_spare);
  if (m_spare.size() < m_compressed.size()) {
    m_compressed.swap(m_spare);
  }
}

void ZuApngWriter::Deflate(const std::vector<uint8_t>& rows, std::vector<uint8_t>& out) {
  out.resize(libdeflate_zlib_compress_bound(m_compressor.get(), rows.size()));
  const size_t size = libdeflate_zlib_compress(m_compressor.get(), rows.data(), rows.size(),
                                               out.data(), out.size());
  if (size == 0) {
    Fail("the compressor ran out of room");  // cannot happen within the bound
  }
  out.resize(size);
}

void ZuApngWriter::WriteFrameControl(const ZuPixelRect& placed, int64_t delay, bool over) {
  std::array<uint8_t, 26> control = {};
  Put32(control.data(), m_sequence++);
  Put32(control.data() + 4, static_cast<uint32_t>(placed.Width()));
  Put32(control.data() + 8, static_cast<uint32_t>(placed.Height()));
  Put32(control.data() + 12, static_cast<uint32_t>(placed.left));
  Put32(control.data() + 16, static_cast<uint32_t>(placed.top));
  Put16(control.data() + 20, static_cast<uint32_t>(delay));
  Put16(control.data() + 22, static_cast<uint32_t>(m_settings.frameRate));
  control[24] = 0;             // dispose: leave the frame on the canvas
  control[25] = over ? 1 : 0;  // blend: over the canvas, or replace it
  WriteChunk("fcTL", control.data(), control.size(), nullptr, 0);
}

void ZuApngWriter::WriteAnimationControl(uint32_t frames) {
  std::array<uint8_t, 8> control = {};
  Put32(control.data(), frames);
  Put32(control.data() + 4, 0);  // plays: 0 loops forever
  WriteChunk("acTL", control.data(), control.size(), nullptr, 0);
}

void ZuApngWriter::WriteChunk(const char* type, const uint8_t* head, size_t headSize,
                              const uint8_t* body, size_t bodySize) {
  std::array<uint8_t, 8> start = {};
  Put32(start.data(), static_cast<uint32_t>(headSize + bodySize));
  std::memcpy(start.data() + 4, type, 4);
  // The checksum covers the type and the data, not the length.
  uint32_t crc = libdeflate_crc32(0, start.data() + 4, 4);
  // (libdeflate_crc32 takes a null buffer to ask for the starting value, so parts left out
  // are skipped, not passed.)
  if (headSize != 0) {
    crc = libdeflate_crc32(crc, head, headSize);
  }
  if (bodySize != 0) {
    crc = libdeflate_crc32(crc, body, bodySize);
  }
  std::array<uint8_t, 4> end = {};
  Put32(end.data(), crc);
  WriteBytes(start.data(), start.size());
  WriteBytes(head, headSize);
  WriteBytes(body, bodySize);
  WriteBytes(end.data(), end.size());
}

void ZuApngWriter::WriteBytes(const void* data, size_t size) {
  m_file->Write(data, size);
}

void ZuApngWriter::Finish() {
  if (m_finished) {
    return;
  }
  if (m_frames == 0) {
    Fail("an animation needs at least one frame");
  }
  WriteChunk("IEND", nullptr, 0, nullptr, 0);
  m_file->Seek(kAnimationControlOffset);
  WriteAnimationControl(m_frames);
  m_finished = true;
  m_file->Commit();
}

void ZuApngWriter::Fail(const std::string& reason) const {
  throw ZuMediaError(m_path + ": cannot write: " + reason);
}

std::unique_ptr<ZuAnimationFormat> ZuOpenApng(const std::string& path,
                                              const ZuAnimationSettings& settings) {
  return std::make_unique<ZuApngWriter>(path, settings);
}
