#pragma once

#include <string>

#include "host/util/ZuStatus.h"

// Where a write to a path really lands, found before anything is written. A regular file
// (or a name with no file yet) is replaced whole: a new file is written beside it and
// renamed over it, and when the path is a symbolic link the file it ends at is the one
// replaced, so the link stays a link. Anything else (a device such as /dev/null, a pipe, a
// terminal) is written straight, never replaced. "-" stands for standard output.
struct ZuOutputTarget {
  static constexpr const char* kStandardOutput = "-";

  std::string path;          // the file renamed over, or the path opened straight
  bool replaceable = false;  // a regular file or none: written beside and renamed over

  // Fails, with the system's reason, for an empty path, a folder (or a path ending in "/")
  // and a chain of symbolic links that never ends: a loop is refused, never replaced.
  static ZuStatus Of(const std::string& path, ZuOutputTarget* target);
  // The path a chain of symbolic links at path ends at, whether or not a file is there;
  // empty when the chain loops.
  static std::string FollowLinks(std::string path);
};
