#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Storage for a loaded or expanded file: size bytes whose content starts undefined, for
// the loader to fill. Large buffers are mapped straight from the system and ask for huge
// pages, so that filling hundreds of megabytes costs a few hundred page faults instead of
// tens of thousands. Throws std::bad_alloc when the memory is not there.
std::shared_ptr<uint8_t> AllocateLoadBuffer(size_t size);
