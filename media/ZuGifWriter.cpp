#include "media/ZuGifWriter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "host/image/ZuImage.h"
#include "media/ZuMediaError.h"

namespace {

// Where the global table starts: after the signature and the logical screen descriptor.
constexpr uint64_t kGlobalTableOffset = 13;
// The disposal "leave the frame in place", in a graphic control extension's flags.
constexpr uint8_t kKeepFrame = 1 << 2;

// A pixel's colour as 0xBBGGRR.
inline uint32_t ColourAt(const uint8_t* pixel) {
  uint32_t value = 0;
  std::memcpy(&value, pixel, sizeof value);
  return value & 0xFFFFFF;
}

void PutU16(std::vector<uint8_t>& out, int64_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8 & 0xFF));
}

// The size field of a table of entries (a power of 2 from 2 to 256): log2(entries) - 1.
uint8_t TableSizeField(size_t entries) {
  uint8_t field = 0;
  while ((size_t{2} << field) < entries) {
    ++field;
  }
  return field;
}

// A table of colours, padded with black to its power-of-2 size.
void PutTable(std::vector<uint8_t>& out, const std::vector<uint32_t>& colours) {
  const size_t slots = size_t{2} << TableSizeField(colours.size());
  for (size_t k = 0; k < slots; ++k) {
    const uint32_t colour = k < colours.size() ? colours[k] : 0;
    out.push_back(static_cast<uint8_t>(colour & 0xFF));
    out.push_back(static_cast<uint8_t>(colour >> 8 & 0xFF));
    out.push_back(static_cast<uint8_t>(colour >> 16 & 0xFF));
  }
}

size_t CodedSize(const std::vector<uint32_t>& localTable, const std::vector<uint8_t>& data) {
  return (localTable.empty() ? 0 : 3 * (size_t{2} << TableSizeField(localTable.size()))) +
         data.size();
}

}  // namespace

ZuGifWriter::ZuGifWriter(const std::string& path, const ZuAnimationSettings& settings,
                         const std::vector<uint32_t>& globalColours)
    : m_path(path), m_settings(settings), m_file(path) {
  m_settings.colours = std::clamp(m_settings.colours, 4, 256);
  while (m_globalSlots < m_settings.colours) {
    m_globalSlots *= 2;
  }
  m_globalIndex.Reset(256);
  AddToGlobal(globalColours);
  WriteHeader();
}

ZuGifWriter::~ZuGifWriter() = default;

int64_t ZuGifTimeOfTick(int64_t tick, int frameRate) {
  return (200 * tick + frameRate) / (2 * int64_t{frameRate});
}

// Browsers show delays below 2 hundredths as a tenth of a second.
int64_t ZuGifMinDelay(double maxFrameRate) {
  return std::max<int64_t>(2, static_cast<int64_t>(std::ceil(100.0 / maxFrameRate - 1e-9)));
}

int64_t ZuGifWriter::TimeOfTick(int64_t tick) const {
  return ZuGifTimeOfTick(tick, m_settings.frameRate);
}

int64_t ZuGifWriter::MinDelay() const {
  return ZuGifMinDelay(m_settings.maxFrameRate);
}

uint64_t ZuGifWriter::BytesWritten() const {
  return m_file.Size();
}

void ZuGifWriter::Put(const std::vector<uint8_t>& bytes) {
  m_file.Write(bytes.data(), bytes.size());
}

// The signature, the screen with its reserved global table, and the loop-forever extension.
void ZuGifWriter::WriteHeader() {
  std::vector<uint8_t> header{'G', 'I', 'F', '8', '9', 'a'};
  PutU16(header, m_settings.width);
  PutU16(header, m_settings.height);
  header.push_back(static_cast<uint8_t>(0x80 | 0x70 | TableSizeField(m_globalSlots)));
  header.push_back(0);  // background: entry 0
  header.push_back(0);  // square pixels
  header.resize(header.size() + 3 * static_cast<size_t>(m_globalSlots), 0);
  const uint8_t loop[] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                          'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
  header.insert(header.end(), std::begin(loop), std::end(loop));
  Put(header);
}

int ZuGifWriter::IndexWith(const ZuImage& picture, const ZuPixelRect& rect,
                           const ZuColourTally& lookup) {
  m_indices.resize(m_changed.size());
  int highest = 0;
  size_t i = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* row = picture.Row(y) + static_cast<size_t>(rect.left) * 4;
    for (int x = 0; x < rect.Width(); ++x, ++i) {
      const int index = m_changed[i] != 0 ? lookup.Find(ColourAt(row + ptrdiff_t{4} * x)) : 0;
      m_indices[i] = static_cast<uint8_t>(index);
      highest = std::max(highest, index);
    }
  }
  return highest;
}

void ZuGifWriter::AddToGlobal(const std::vector<uint32_t>& colours) {
  for (const uint32_t colour : colours) {
    if (m_globalIndex.Find(colour) < 0) {
      m_globalIndex.Set(colour, static_cast<int>(m_global.size()));
      m_global.push_back(colour);
    }
  }
}

// A frame whose colours all fit a table: coded with the global table when it holds them or
// has room for them, with a table of its own when that has no room or codes smaller.
void ZuGifWriter::CodeExact(const ZuImage& picture, const ZuPixelRect& rect, bool transparent,
                            Coded& coded) {
  const std::vector<uint32_t> colours = m_tally.ByFrequency();
  size_t added = 0;
  for (const uint32_t colour : colours) {
    added += m_globalIndex.Find(colour) < 0 ? 1 : 0;
  }
  const bool globalFits =
      added == 0 ||
      (!m_globalClosed && m_global.size() + added <= static_cast<size_t>(m_settings.colours));
  // The local table: the transparent entry when needed, then the colours, most frequent first.
  ZuColourTally local;
  local.Reset(256);
  std::vector<uint32_t> localTable;
  if (transparent) {
    localTable.push_back(0);
  }
  for (const uint32_t colour : colours) {
    local.Set(colour, static_cast<int>(localTable.size()));
    localTable.push_back(colour);
  }
  const int localCodeSize = ZuGifLzw::CodeSizeFor(static_cast<int>(localTable.size()));
  if (globalFits) {
    const size_t before = m_global.size();
    AddToGlobal(colours);
    const int globalCodeSize = ZuGifLzw::CodeSizeFor(IndexWith(picture, rect, m_globalIndex) + 1);
    coded.localTable.clear();
    coded.codeSize = globalCodeSize;
    coded.data.clear();
    m_lzw.Encode(m_indices.data(), m_indices.size(), globalCodeSize, coded.data);
    if (globalCodeSize <= localCodeSize) {
      return;
    }
    Coded own;
    own.localTable = localTable;
    own.codeSize = localCodeSize;
    IndexWith(picture, rect, local);
    m_lzw.Encode(m_indices.data(), m_indices.size(), localCodeSize, own.data);
    if (CodedSize(own.localTable, own.data) >= coded.data.size()) {
      return;
    }
    // The frame's own table wins: the colours it brought stay out of the global one.
    for (size_t k = before; k < m_global.size(); ++k) {
      m_globalIndex.Set(m_global[k], -1);
    }
    m_global.resize(before);
    coded = std::move(own);
    return;
  }
  coded.localTable = std::move(localTable);
  coded.codeSize = localCodeSize;
  coded.data.clear();
  IndexWith(picture, rect, local);
  m_lzw.Encode(m_indices.data(), m_indices.size(), localCodeSize, coded.data);
}

// A frame of more colours than a table holds: libimagequant's palette for its changed pixels,
// which becomes the global table when no frame has used that yet.
void ZuGifWriter::CodeQuantized(const ZuImage& picture, const ZuPixelRect& rect, bool transparent,
                                Coded& coded) {
  m_rgba.resize(m_changed.size() * 4);
  size_t i = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* row = picture.Row(y) + static_cast<size_t>(rect.left) * 4;
    for (int x = 0; x < rect.Width(); ++x, ++i) {
      if (m_changed[i] != 0) {
        std::memcpy(&m_rgba[4 * i], row + ptrdiff_t{4} * x, 4);
      } else {
        std::memset(&m_rgba[4 * i], 0, 4);
      }
    }
  }
  m_indices.resize(m_changed.size());
  const bool toGlobal = m_global.size() == 1 && !m_globalClosed;
  std::vector<uint32_t> palette;
  int first = 0;
  if (toGlobal || transparent) {
    palette.push_back(0);
    first = 1;
  }
  if (!m_quantizer.Quantize(m_rgba.data(), rect.Width(), rect.Height(), transparent,
                            m_settings.colours - first, first, palette, m_indices.data())) {
    throw ZuMediaError(m_path + ": cannot choose the colours of a frame");
  }
  coded.data.clear();
  coded.codeSize = ZuGifLzw::CodeSizeFor(static_cast<int>(palette.size()));
  m_lzw.Encode(m_indices.data(), m_indices.size(), coded.codeSize, coded.data);
  if (toGlobal) {
    m_global = std::move(palette);
    for (size_t k = 1; k < m_global.size(); ++k) {
      if (m_globalIndex.Find(m_global[k]) < 0) {
        m_globalIndex.Set(m_global[k], static_cast<int>(k));
      }
    }
    m_globalClosed = true;
    coded.localTable.clear();
  } else {
    coded.localTable = std::move(palette);
  }
}

void ZuGifWriter::PutFrame(const ZuPixelRect& rect, bool transparent, int64_t delay,
                           const Coded& coded) {
  m_bytes.clear();
  m_bytes.insert(m_bytes.end(), {0x21, 0xF9, 4});
  m_bytes.push_back(static_cast<uint8_t>(kKeepFrame | (transparent ? 1 : 0)));
  PutU16(m_bytes, std::clamp<int64_t>(delay, 0, MaxDelay()));
  m_bytes.push_back(0);  // the transparent entry is always entry 0
  m_bytes.push_back(0);
  m_bytes.push_back(0x2C);
  PutU16(m_bytes, rect.left);
  PutU16(m_bytes, rect.top);
  PutU16(m_bytes, rect.Width());
  PutU16(m_bytes, rect.Height());
  if (coded.localTable.empty()) {
    m_bytes.push_back(0);
  } else {
    m_bytes.push_back(static_cast<uint8_t>(0x80 | TableSizeField(coded.localTable.size())));
    PutTable(m_bytes, coded.localTable);
  }
  Put(m_bytes);
  Put(coded.data);
}

void ZuGifWriter::WriteFrame(const ZuImage& picture, const ZuImage* previous,
                             const ZuPixelRect& rect, int64_t delay) {
  Coded coded;
  if (rect.IsEmpty()) {
    // One transparent pixel: the frame changes nothing and only takes time.
    const uint8_t transparentPixel = 0;
    m_lzw.Encode(&transparentPixel, 1, 2, coded.data);
    PutFrame({0, 0, 1, 1}, true, delay, coded);
    return;
  }
  m_tally.Reset(m_settings.colours - 1);
  const bool transparent = ZuTallyChangedPixels(picture, previous, rect, m_tally, m_changed);
  if (m_tally.Overflowed()) {
    CodeQuantized(picture, rect, transparent, coded);
  } else {
    CodeExact(picture, rect, transparent, coded);
  }
  PutFrame(rect, transparent, delay, coded);
}

void ZuGifWriter::Finish() {
  Put({0x3B});
  std::vector<uint8_t> table;
  PutTable(table, m_global);
  table.resize(3 * static_cast<size_t>(m_globalSlots), 0);
  m_file.Seek(kGlobalTableOffset);
  Put(table);
  m_file.Commit();
}

std::unique_ptr<ZuAnimationFormat> ZuOpenGif(const std::string& path,
                                             const ZuAnimationSettings& settings,
                                             const std::vector<uint32_t>& globalColours) {
  return std::make_unique<ZuGifWriter>(path, settings, globalColours);
}
