#pragma once

#include <cstdint>
#include <string>

#include "host/util/ZuString.h"
#include "platform/ZuWinTypes.h"

class ZuImage;

// The picture side of key-frame synthesis: rendering one frame of a movie file, and the
// 16-bit DIB that a rendered picture is turned into for movies of 16-bit bitmaps.

// Renders frame (counted from 1) of the SWF file at movieFile with a player of its own,
// which is gone when this returns. The picture belongs to the caller; null when the file
// cannot be loaded, the frame does not exist or no picture results (a bitmap it shows does
// not decode, say), with the player's reason in *reason when reason is given.
ZuImage* RenderMovieFrame(ZuString movieFile, int frame, std::string* reason = nullptr);

// A packed 16-bit DIB of bitmap in movable, zero-filled global memory: a BITMAPINFOHEADER
// (16 bits, BI_RGB 5-5-5, positive height: rows bottom to top, biSizeImage the pixel
// bytes) followed by the rows, each padded to a multiple of 4 bytes. The block is
// unlocked and belongs to the caller (GlobalFree). Null when the bitmap cannot be read
// or the block cannot be had.
HGLOBAL CreateDIB16FromBitmap(HBITMAP bitmap);

// Reverses the order of the rows of a 16-bit buffer (rows of 2 x width bytes padded to 4)
// in place. 0; 1, with a message on standard output, for a null buffer.
int VerticalFlip(uint8_t* buffer, int width, int height);
