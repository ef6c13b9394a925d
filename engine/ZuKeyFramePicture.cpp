#include "engine/ZuKeyFramePicture.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"

namespace {

// Bytes in one row of a 16-bit DIB.
size_t Row16Bytes(int64_t width) {
  return static_cast<size_t>((width * 16 + 31) / 32 * 4);
}

}  // namespace

// movieFile is taken by value: the rendering works on a copy of its own.
ZuImage* RenderMovieFrame(ZuString movieFile,  // NOLINT(performance-unnecessary-value-param)
                          int frame, std::string* reason) {
  const auto player = std::make_unique<ZuTavoPlayer>(32);
  ZuImage* picture = nullptr;
  if (player->LoadMovie(movieFile, 0, 1) != 0 && player->GotoFrameAndPlay(frame) &&
      player->Stop()) {
    picture = player->GetCurrentScreenImage();
  }
  if (picture == nullptr && reason != nullptr) {
    *reason = player->GetLastError();
  }
  return picture;
}

HGLOBAL CreateDIB16FromBitmap(HBITMAP bitmap) {
  BITMAP description{};
  if (GetObjectW(bitmap, sizeof(BITMAP), &description) == 0) {
    return nullptr;
  }
  const size_t blockSize =
      Row16Bytes(description.bmWidth) * static_cast<size_t>(description.bmHeight) +
      sizeof(BITMAPINFOHEADER);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, blockSize);
  if (block == nullptr) {
    return nullptr;
  }
  void* start = GlobalLock(block);
  auto* header = new (start) BITMAPINFOHEADER{};
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = description.bmWidth;
  header->biHeight = description.bmHeight;
  header->biPlanes = 1;
  header->biBitCount = 16;
  header->biCompression = BI_RGB;
  header->biSizeImage = static_cast<DWORD>(blockSize - sizeof(BITMAPINFOHEADER));

  const HDC context = CreateCompatibleDC(nullptr);
  GetDIBits(context, bitmap, 0, static_cast<UINT>(description.bmHeight),
            static_cast<uint8_t*>(start) + sizeof(BITMAPINFOHEADER),
            reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
  DeleteDC(context);
  GlobalUnlock(block);
  return block;
}

int VerticalFlip(uint8_t* buffer, int width, int height) {
  if (buffer == nullptr) {
    std::printf("\n null buffer in vertical flip\n");
    return 1;
  }
  if (width <= 0 || height <= 0) {
    return 0;
  }
  const size_t rowBytes = Row16Bytes(width);
  std::vector<uint8_t> spare(rowBytes);
  for (int top = 0; top < (height + 1) / 2; ++top) {
    const int bottom = height - 1 - top;
    if (top == bottom) {
      continue;  // the middle row of an odd height stays
    }
    uint8_t* upper = buffer + rowBytes * top;
    uint8_t* lower = buffer + rowBytes * bottom;
    std::memcpy(spare.data(), upper, rowBytes);
    std::memcpy(upper, lower, rowBytes);
    std::memcpy(lower, spare.data(), rowBytes);
  }
  return 0;
}
