#pragma once

#include <cstddef>
#include <cstdint>

// The scalar types and handle types of the Windows calls that the engine makes, with the
// sizes they have on 64-bit Windows. Only the stand-ins of this folder use them.

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using UINT = unsigned int;
using BOOL = int;
using SIZE_T = size_t;
using LPVOID = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A bitmap and a device context of the GDI stand-ins (ZuWinGdi.h). The structures stay
// opaque: callers only pass the handles back.
struct ZuGdiBitmap;
struct ZuGdiContext;
using HBITMAP = ZuGdiBitmap*;
using HDC = ZuGdiContext*;
// Any GDI object, as DeleteObject takes it.
using HGDIOBJ = void*;
// A file mapping; the stand-ins accept only null.
using HANDLE = void*;
// A block of global memory (ZuWinGlobalMemory.h).
using HGLOBAL = void*;
