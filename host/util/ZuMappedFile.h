#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/util/ZuSharedBytes.h"

// A whole file mapped read-only into memory. Pages are read from disk only when touched,
// so looking at a few parts of a large file costs little. The mapping lives as long as any
// copy of the returned bytes.
//
// The bytes are marked as mapped, so that long walks over them can hand their pages back
// (ZuMappedPageReleaser) and a large movie never needs to be resident as a whole.
//
// A mapping reflects the file: if another program shortens the file while it is mapped,
// touching the lost part raises SIGBUS. This program never writes a file in place (writes
// go to a new file renamed over the old one, which leaves a mapping of the old one
// intact), so only an outside program can do that; the command line turns the signal
// into a one-line error.
class ZuMappedFile {
 public:
  // Maps the file at path. An empty file gives empty bytes. Returns false with a one-line
  // reason in *error when the file cannot be opened or mapped.
  static bool Map(const std::string& path, ZuSharedBytes& bytes, std::string* error);
  // Maps the regular file open as fd (which the caller keeps and may close afterwards).
  static bool MapDescriptor(int fd, ZuSharedBytes& bytes, std::string* error);

  // A private, writable view of mapped bytes, for changing a few bytes of a large run
  // without copying it: the view shares the file's pages, and the system copies only the
  // pages written through *writable. The view is ordinary bytes afterwards (never handed
  // back by ZuMappedPageReleaser, which would drop what was written). False when bytes
  // are not mapped or no view can be had (the number of views is capped well below the
  // system's limit of mappings); the caller then copies.
  static bool MapPrivateView(const ZuSharedBytes& bytes, ZuSharedBytes& view, uint8_t*& writable);
};

// A read-only mapping of a whole file. Keeps a descriptor of the file for private views;
// unmaps and closes it when it goes.
struct ZuFileMapping {
  ZuFileMapping(const uint8_t* address, size_t size, int fd)
      : address(address), size(size), fd(fd) {}
  ~ZuFileMapping();
  ZuFileMapping(const ZuFileMapping&) = delete;
  ZuFileMapping& operator=(const ZuFileMapping&) = delete;

  const uint8_t* const address;
  const size_t size;
  const int fd;
};
