#pragma once

#include "host/util/ZuString.h"

// A file path. A value: destroying a ZuFile never touches the file it names.
class ZuFile {
 public:
  ZuFile() = default;
  explicit ZuFile(const ZuString& path) : m_path(path) {}

  const ZuString& GetPathString() const { return m_path; }
  std::string GetNativePath() const { return m_path.GetUTF8String(); }

  // True when anything (file or folder) exists at the path.
  bool Exists() const;
  // True when a regular file exists at the path.
  bool DoesFileExist() const;
  // Removes the file. Returns false when there was nothing to remove or it could not be removed.
  bool Delete() const;
  // Size in bytes, or -1 when the file cannot be examined.
  int64_t GetSize() const;

 private:
  ZuString m_path;
};
