#pragma once

#include <cstddef>

// The bytes of the mapping that holds address which are resident in this process (its
// Rss in /proc/self/smaps); SIZE_MAX when it cannot be read.
size_t ResidentBytesOf(const void* address);
