#pragma once

#include "platform/ZuWinTypes.h"

// Portable stand-ins for the Windows global-memory calls, with their names, arguments and
// results. A block is fixed (the handle is the block's address) or movable (the handle
// is not an address: GlobalLock gives the address while the block is locked). Handles
// that these calls did not make, or that were freed, are refused, never followed.
//
// The owner of a handle frees it with GlobalFree. For the tests of failure roads,
// ZuGlobalMemoryFailNextAllocs makes the next GlobalAlloc calls fail.

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A new block of bytes bytes (at least 1 is reserved), zero-filled when flags hold
// GMEM_ZEROINIT. Null when memory runs out, or when a failure was asked for.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's address, counting one lock more; null for a bad handle.
LPVOID GlobalLock(HGLOBAL block);
// Counts one lock less. TRUE while the block stays locked, FALSE once it is not (or for a
// bad handle).
BOOL GlobalUnlock(HGLOBAL block);
// The handle of the block whose address is pointer; null when no block starts there.
HGLOBAL GlobalHandle(const void* pointer);
// Releases the block, locked or not. Null on success, the handle itself on failure.
HGLOBAL GlobalFree(HGLOBAL block);

// Makes each of the next count calls of GlobalAlloc fail; 0 ends the failures.
void ZuGlobalMemoryFailNextAllocs(int count);
// How many blocks exist now: for tests that check that all were freed.
size_t ZuGlobalMemoryCountLiveBlocks();
