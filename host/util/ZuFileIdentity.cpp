#include "host/util/ZuFileIdentity.h"

#include <sys/stat.h>

#include "host/util/ZuOutputTarget.h"

ZuFileIdentity ZuFileIdentity::Of(const std::string& path) {
  ZuFileIdentity identity;
  if (path.empty() || path == ZuOutputTarget::kStandardOutput) {
    return identity;
  }
  struct stat info {};
  std::string name;
  if (stat(path.c_str(), &info) != 0) {
    const std::string end = ZuOutputTarget::FollowLinks(path);
    const size_t slash = end.rfind('/');
    name = slash == std::string::npos ? end : end.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? "." : end.substr(0, slash + 1);
    if (end.empty() || name.empty() || name == "." || name == ".." ||
        stat(folder.c_str(), &info) != 0) {
      return identity;
    }
  }
  identity.m_known = true;
  identity.m_device = info.st_dev;
  identity.m_inode = info.st_ino;
  identity.m_name = name;
  return identity;
}

bool ZuFileIdentity::operator==(const ZuFileIdentity& other) const {
  return m_known && other.m_known && m_device == other.m_device && m_inode == other.m_inode &&
         m_name == other.m_name;
}
