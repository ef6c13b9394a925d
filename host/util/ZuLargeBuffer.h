#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Room for a large run of bytes that is filled once, such as a whole movie read into
// memory or expanded from its compressed body, or a stored version of a project's movie.
// Filled in ordinary 4 KiB pages, a 100 MB movie costs some 25,000 page faults, each
// clearing a page first; large runs are therefore placed where the system may back
// them with 2 MiB pages (transparent huge pages, asked for with madvise), which cuts the
// faults to about fifty. Small runs, and systems without huge pages, get ordinary memory.
//
// The bytes are zero-filled. Null when the memory cannot be had.
std::shared_ptr<uint8_t[]> ZuAllocateLargeBuffer(size_t size);
