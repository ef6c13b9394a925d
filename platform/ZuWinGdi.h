#pragma once

#include "platform/ZuWinTypes.h"

// Portable stand-ins for the GDI calls that turn a 32-bit picture into a 16-bit one:
// device-independent bitmaps (DIBs) in the uncompressed BI_RGB form, 32 or 16 bits per
// pixel. They keep the Windows names, arguments and results.
//
// Pixel layout, as on Windows: a 32-bit pixel is the bytes blue, green, red, unused; a
// 16-bit pixel is a little-endian word with blue in bits 0-4, green in 5-9 and red in
// 10-14 (5-5-5). Rows are padded to a multiple of 4 bytes. A positive biHeight means the
// rows run from the bottom of the picture to its top, a negative one from top to bottom.
// Going from 32 to 16 bits keeps the top 5 bits of each channel; going from 16 to 32 bits
// spreads each 5-bit value over 8 bits ((v << 3) | (v >> 2)).
//
// A bitmap made by CreateDIBSection belongs to the caller until DeleteObject; a context
// made by CreateCompatibleDC until DeleteDC. Handles that these calls did not make, or
// that were already released, are refused, never followed.

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD BI_RGB = 0;

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// What GetObjectW tells of a bitmap.
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;
};
static_assert(sizeof(BITMAP) == 32);

// A DIB section of the size and format of info's header (BI_RGB, 16 or 32 bits per pixel,
// 1 plane, width and height not 0), its pixels zero. When bits is not null it receives
// the address of the pixels, which live as long as the bitmap. context and offset are
// not used; section must be null. Null for any other request or when memory runs out.
HBITMAP CreateDIBSection(HDC context, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD offset);

// Copies lineCount scan lines, from scan line firstLine on (scan lines are counted in the
// order of info's rows), from bits laid out as info describes into bitmap, converting the
// pixel format. Returns the number of lines copied: fewer than asked when the bitmap ends
// first, 0 on a bad request.
int SetDIBits(HDC context, HBITMAP bitmap, UINT firstLine, UINT lineCount, const void* bits,
              const BITMAPINFO* info, UINT usage);

// The reverse of SetDIBits: copies scan lines of bitmap into bits, laid out as info's
// header asks (BI_RGB, 16 or 32 bits; the header's width must be the bitmap's). Returns
// the number of lines copied, 0 on a bad request. With bits null it only completes the
// header's biSizeImage and returns the bitmap's height.
int GetDIBits(HDC context, HBITMAP bitmap, UINT firstLine, UINT lineCount, void* bits,
              BITMAPINFO* info, UINT usage);

// Fills a BITMAP (size bytes at out, which must be at least sizeof(BITMAP)) for a bitmap
// made by CreateDIBSection; bmHeight is the number of rows, always positive. Returns the
// bytes written, 0 for anything else.
int GetObjectW(HGDIOBJ object, int size, void* out);

// A memory context, which the calls above accept and ignore. Null never.
HDC CreateCompatibleDC(HDC context);
BOOL DeleteDC(HDC context);

// Releases a bitmap made by CreateDIBSection. FALSE for any other handle.
BOOL DeleteObject(HGDIOBJ object);

// How many bitmaps and contexts exist now: for tests that check that all were released.
size_t ZuGdiCountLiveObjects();
