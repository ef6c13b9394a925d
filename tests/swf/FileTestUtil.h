#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuMemoryStream.h"
#include "host/util/ZuSharedBytes.h"

// Loading from and writing to memory, for the whole-file tests.
inline ZuErrorCodeEnum LoadBytes(ZuTavoFile& movie, const std::vector<uint8_t>& bytes) {
  ZuMemoryStream stream(ZuSharedBytes::Copy(bytes.data(), bytes.size()));
  return movie.LoadFromStream(&stream);
}

// What DumpToStream writes; empty when it fails.
inline std::vector<uint8_t> DumpBytes(ZuTavoFile& movie) {
  ZuMemoryStream stream;
  if (movie.DumpToStream(&stream) != kZuSuccess) {
    return {};
  }
  return stream.TakeBytes();
}

// Whether any load warning contains text.
inline bool HasWarning(const ZuTavoFile& movie, const std::string& text) {
  for (const std::string& warning : movie.GetLoadWarnings()) {
    if (warning.find(text) != std::string::npos) {
      return true;
    }
  }
  return false;
}
