#pragma once

#include <cstdint>

#include "host/util/ZuString.h"

// A path taken apart into its folder and name. Works on '/'-separated paths.
class ZuPath {
 public:
  ZuPath() = default;
  explicit ZuPath(const ZuString& path) : m_path(path) {}

  // The folder that holds this path ("/a/b/c.swf" -> "/a/b", "c.swf" -> ".", "/x" -> "/",
  // "/" -> "/"). Trailing slashes are ignored ("/a/b/" -> "/a"); the file system is not asked.
  // flags is reserved for options; callers pass 0xFFFFFFFF.
  ZuPath GetParentZuPath(uint32_t flags = 0xFFFFFFFF) const;
  const ZuString& GetPathAsZuString() const { return m_path; }

 private:
  ZuString m_path;
};
