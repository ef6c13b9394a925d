#pragma once

#include <string>

// Where a write to a path really lands, found before anything is written. A regular file
// (or a name with no file yet) is replaced whole: a new file is written beside it and
// renamed over it, and when the path is a symbolic link the file it ends at is the one
// replaced, so the link stays a link. Anything else (a device such as /dev/null, a pipe, a
// terminal) is written straight, never replaced. "-" stands for standard output.
struct ZuOutputTarget {
  static constexpr const char* kStandardOutput = "-";

  std::string path;          // the file renamed over, or the path opened straight
  bool replaceable = false;  // a regular file or none: written beside and renamed over

  static ZuOutputTarget Of(const std::string& path);
};
