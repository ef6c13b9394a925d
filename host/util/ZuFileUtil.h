#pragma once

#include "host/util/ZuFile.h"
#include "host/util/ZuPath.h"
#include "host/util/ZuString.h"

// File-system helpers.
class ZuFileUtil {
 public:
  // Creates an empty file with a unique name and the given extension (".SWF") in $TMPDIR,
  // or /tmp, and returns it. On failure the returned file does not exist.
  static ZuFile GetUniqueTemporaryFile(const ZuString& extension);
  // Full path of the running program.
  static ZuPath GetCurrentExecutablePath();
  static char16_t GetDirectorySeparator() { return u'/'; }
  // The name without folder and without its last extension ("/a/b/c.swf" -> "c").
  static ZuString GetBaseFileName(const ZuString& path);
};
