#include "host/util/ZuFile.h"

#include <sys/stat.h>
#include <unistd.h>

bool ZuFile::Exists() const {
  if (m_path.empty()) {
    return false;
  }
  struct stat info {};
  return lstat(GetNativePath().c_str(), &info) == 0;
}

bool ZuFile::DoesFileExist() const {
  if (m_path.empty()) {
    return false;
  }
  struct stat info {};
  return stat(GetNativePath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ZuFile::Delete() const {
  if (m_path.empty()) {
    return false;
  }
  return unlink(GetNativePath().c_str()) == 0;
}

int64_t ZuFile::GetSize() const {
  if (m_path.empty()) {
    return -1;
  }
  struct stat info {};
  if (stat(GetNativePath().c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return -1;
  }
  return static_cast<int64_t>(info.st_size);
}
