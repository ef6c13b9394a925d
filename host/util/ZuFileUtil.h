#pragma once

#include "host/util/ZuFile.h"
#include "host/util/ZuPath.h"
#include "host/util/ZuString.h"

// File-system helpers.
class ZuFileUtil {
 public:
  // Creates an empty file named "fmredit-XXXXXX<extension>" (extension ".SWF", say) in
  // the calling thread's temporary folder (see ZuTemporaryFolder) and returns it; the caller
  // deletes it. On failure the returned file has an empty path and does not exist.
  static ZuFile GetUniqueTemporaryFile(const ZuString& extension);
  // Full path of the running program; an empty path when it cannot be found.
  static ZuPath GetCurrentExecutablePath();
  static char16_t GetDirectorySeparator() { return u'/'; }
  // The name without folder and without its last extension ("/a/b/c.swf" -> "c",
  // "archive.tar.gz" -> "archive.tar"); leading dots are part of the name (".hidden").
  static ZuString GetBaseFileName(const ZuString& path);
};
