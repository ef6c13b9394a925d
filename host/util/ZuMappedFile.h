#pragma once

#include <string>

#include "host/util/ZuSharedBytes.h"

// A whole file mapped read-only into memory. Pages are read from disk only when touched,
// so looking at a few parts of a large file costs little. The mapping lives as long as any
// copy of the returned bytes.
//
// A mapping reflects the file: if another program shortens the file while it is mapped,
// touching the lost part ends the process. Use it for files this program owns or reads
// briefly (rendering a frame); use a read stream for long-lived copies of users' files.
class ZuMappedFile {
 public:
  // Maps the file at path. An empty file gives empty bytes. Returns false with a one-line
  // reason in *error when the file cannot be opened or mapped.
  static bool Map(const std::string& path, ZuSharedBytes& bytes, std::string* error);
};
