#pragma once

#include "host/util/ZuString.h"

// A file path. A value: destroying a ZuFile never touches the file it names.
class ZuFile {
 public:
  ZuFile() = default;
  explicit ZuFile(const ZuString& path) : m_path(path) {}

  const ZuString& GetPathString() const { return m_path; }
  std::string GetNativePath() const { return m_path.GetUTF8String(); }

  // True when anything (file, folder, link) exists at the path. An empty path names nothing.
  bool Exists() const;
  // True when a regular file exists at the path.
  bool DoesFileExist() const;
  // Removes the file. Returns false when there was nothing to remove or it could not be removed.
  bool Delete() const;
  // Size in bytes of the regular file at the path, or -1 when there is none.
  int64_t GetSize() const;

 private:
  ZuString m_path;
};
