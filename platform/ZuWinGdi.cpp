// DIB sections kept in ordinary memory, and the conversions between the two BI_RGB pixel
// formats the engine uses.

#include "platform/ZuWinGdi.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "host/util/ZuLittleEndian.h"

// A DIB section: its scan lines as stored, bottom row first when bottomUp.
struct ZuGdiBitmap {
  int width = 0;
  int rows = 0;
  int bitCount = 0;
  bool bottomUp = false;
  size_t rowBytes = 0;
  std::vector<uint8_t> bits;
};

// A memory device context: nothing to hold.
struct ZuGdiContext {};

namespace {

// Neither side of a DIB may pass this many pixels (the largest stage the player makes
// is far below it), so that sizes stay well inside size_t and int.
constexpr int64_t kMaxSide = 65535;

enum class Kind { kBitmap, kContext };

// Every bitmap and context made and not yet released, so that handles can be checked.
struct LiveObjects {
  std::mutex lock;
  std::map<const void*, Kind> objects;
};

LiveObjects& Live() {
  static LiveObjects live;
  return live;
}

bool IsLive(const void* object, Kind kind) {
  LiveObjects& live = Live();
  std::lock_guard<std::mutex> guard(live.lock);
  const auto found = live.objects.find(object);
  return found != live.objects.end() && found->second == kind;
}

void AddLive(const void* object, Kind kind) {
  LiveObjects& live = Live();
  std::lock_guard<std::mutex> guard(live.lock);
  live.objects.emplace(object, kind);
}

// Takes the object off the list; false when it is not a live object of that kind.
bool RemoveLive(const void* object, Kind kind) {
  LiveObjects& live = Live();
  std::lock_guard<std::mutex> guard(live.lock);
  const auto found = live.objects.find(object);
  if (found == live.objects.end() || found->second != kind) {
    return false;
  }
  live.objects.erase(found);
  return true;
}

// Bytes in one scan line: bitCount bits a pixel, padded to a multiple of 4 bytes.
size_t RowBytes(int64_t width, int bitCount) {
  return static_cast<size_t>((width * bitCount + 31) / 32 * 4);
}

// The shape of the pixels that a BITMAPINFOHEADER describes.
struct DibLayout {
  int width = 0;
  int rows = 0;
  int bitCount = 0;
  bool bottomUp = false;
  size_t rowBytes = 0;
};

// The layout of an uncompressed 16- or 32-bit header, or false for anything else.
bool ReadLayout(const BITMAPINFOHEADER& header, DibLayout& layout) {
  const int64_t width = header.biWidth;
  const int64_t height = header.biHeight;
  const int64_t rows = std::llabs(height);
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
      header.biCompression != BI_RGB || (header.biBitCount != 16 && header.biBitCount != 32) ||
      width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide) {
    return false;
  }
  layout.width = static_cast<int>(width);
  layout.rows = static_cast<int>(rows);
  layout.bitCount = header.biBitCount;
  layout.bottomUp = height > 0;
  layout.rowBytes = RowBytes(width, header.biBitCount);
  return true;
}

// The row of the picture, counted from its top, that scan line `line` holds.
int PictureRow(int line, int rows, bool bottomUp) {
  return bottomUp ? rows - 1 - line : line;
}

struct Rgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

uint8_t Expand5(unsigned value) {
  return static_cast<uint8_t>((value << 3) | (value >> 2));
}

Rgb ReadPixel(const uint8_t* pixel, int bitCount) {
  if (bitCount == 32) {
    return {pixel[2], pixel[1], pixel[0]};
  }
  const unsigned word = ZuLittleEndian::ReadU16(pixel);
  return {Expand5((word >> 10) & 31), Expand5((word >> 5) & 31), Expand5(word & 31)};
}

void WritePixel(const Rgb& color, uint8_t* pixel, int bitCount) {
  if (bitCount == 32) {
    pixel[0] = color.blue;
    pixel[1] = color.green;
    pixel[2] = color.red;
    pixel[3] = 0;
    return;
  }
  const unsigned word = ((color.red >> 3) << 10) | ((color.green >> 3) << 5) | (color.blue >> 3);
  ZuLittleEndian::WriteU16(pixel, static_cast<uint16_t>(word));
}

// Converts one row of width pixels between the formats (the same format is copied).
void ConvertRow(const uint8_t* from, int fromBits, uint8_t* to, int toBits, int width) {
  if (fromBits == toBits) {
    std::memcpy(to, from, static_cast<size_t>(width) * (fromBits / 8));
    return;
  }
  const ptrdiff_t fromStep = fromBits / 8;
  const ptrdiff_t toStep = toBits / 8;
  for (int x = 0; x < width; ++x) {
    WritePixel(ReadPixel(from + x * fromStep, fromBits), to + x * toStep, toBits);
  }
}

// Which picture rows a request names: lines firstLine on, lineCount of them, cut at the
// bitmap's end. 0 lines when the request starts past the end.
int LinesToCopy(const ZuGdiBitmap& bitmap, UINT firstLine, UINT lineCount) {
  if (firstLine >= static_cast<UINT>(bitmap.rows)) {
    return 0;
  }
  const UINT available = static_cast<UINT>(bitmap.rows) - firstLine;
  return static_cast<int>(lineCount < available ? lineCount : available);
}

// Calls copy(stored row of the bitmap, row of the caller's buffer) for each scan line of a
// request, the buffer laid out as `layout`. Returns the lines handled.
template <typename CopyRow>
int ForEachLine(const ZuGdiBitmap& bitmap, const DibLayout& layout, UINT firstLine, UINT lineCount,
                CopyRow copy) {
  if (layout.width != bitmap.width) {
    return 0;
  }
  const int lines = LinesToCopy(bitmap, firstLine, lineCount);
  for (int i = 0; i < lines; ++i) {
    const int row = PictureRow(static_cast<int>(firstLine) + i, bitmap.rows, layout.bottomUp);
    copy(static_cast<size_t>(PictureRow(row, bitmap.rows, bitmap.bottomUp)),
         static_cast<size_t>(i));
  }
  return lines;
}

}  // namespace

HBITMAP CreateDIBSection(HDC /*context*/, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD /*offset*/) {
  DibLayout layout;
  if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr ||
      !ReadLayout(info->bmiHeader, layout)) {
    return nullptr;
  }
  auto bitmap = std::unique_ptr<ZuGdiBitmap>(new (std::nothrow) ZuGdiBitmap);
  if (bitmap == nullptr) {
    return nullptr;
  }
  bitmap->width = layout.width;
  bitmap->rows = layout.rows;
  bitmap->bitCount = layout.bitCount;
  bitmap->bottomUp = layout.bottomUp;
  bitmap->rowBytes = layout.rowBytes;
  try {
    bitmap->bits.assign(layout.rowBytes * static_cast<size_t>(layout.rows), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (bits != nullptr) {
    *bits = bitmap->bits.data();
  }
  AddLive(bitmap.get(), Kind::kBitmap);
  return bitmap.release();
}

int SetDIBits(HDC /*context*/, HBITMAP bitmap, UINT firstLine, UINT lineCount, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  DibLayout layout;
  if (!IsLive(bitmap, Kind::kBitmap) || bits == nullptr || info == nullptr ||
      usage != DIB_RGB_COLORS || !ReadLayout(info->bmiHeader, layout)) {
    return 0;
  }
  const auto* source = static_cast<const uint8_t*>(bits);
  return ForEachLine(*bitmap, layout, firstLine, lineCount, [&](size_t stored, size_t line) {
    ConvertRow(source + layout.rowBytes * line, layout.bitCount,
               bitmap->bits.data() + bitmap->rowBytes * stored, bitmap->bitCount, bitmap->width);
  });
}

int GetDIBits(HDC /*context*/, HBITMAP bitmap, UINT firstLine, UINT lineCount, void* bits,
              BITMAPINFO* info, UINT usage) {
  DibLayout layout;
  if (!IsLive(bitmap, Kind::kBitmap) || info == nullptr || usage != DIB_RGB_COLORS ||
      !ReadLayout(info->bmiHeader, layout)) {
    return 0;
  }
  if (bits == nullptr) {
    info->bmiHeader.biSizeImage = static_cast<DWORD>(layout.rowBytes * layout.rows);
    return bitmap->rows;
  }
  auto* target = static_cast<uint8_t*>(bits);
  return ForEachLine(*bitmap, layout, firstLine, lineCount, [&](size_t stored, size_t line) {
    ConvertRow(bitmap->bits.data() + bitmap->rowBytes * stored, bitmap->bitCount,
               target + layout.rowBytes * line, layout.bitCount, bitmap->width);
  });
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
  if (!IsLive(object, Kind::kBitmap) || out == nullptr || size < static_cast<int>(sizeof(BITMAP))) {
    return 0;
  }
  const auto* bitmap = static_cast<const ZuGdiBitmap*>(object);
  BITMAP description{};
  description.bmType = 0;
  description.bmWidth = bitmap->width;
  description.bmHeight = bitmap->rows;
  description.bmWidthBytes = static_cast<LONG>(bitmap->rowBytes);
  description.bmPlanes = 1;
  description.bmBitsPixel = static_cast<WORD>(bitmap->bitCount);
  description.bmBits = const_cast<uint8_t*>(bitmap->bits.data());
  std::memcpy(out, &description, sizeof description);
  return static_cast<int>(sizeof description);
}

HDC CreateCompatibleDC(HDC /*context*/) {
  auto* context = new ZuGdiContext;
  AddLive(context, Kind::kContext);
  return context;
}

BOOL DeleteDC(HDC context) {
  if (!RemoveLive(context, Kind::kContext)) {
    return FALSE;
  }
  delete context;
  return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
  // Contexts are released with DeleteDC only.
  if (!RemoveLive(object, Kind::kBitmap)) {
    return FALSE;
  }
  delete static_cast<ZuGdiBitmap*>(object);
  return TRUE;
}

size_t ZuGdiCountLiveObjects() {
  LiveObjects& live = Live();
  std::lock_guard<std::mutex> guard(live.lock);
  return live.objects.size();
}
