#include "host/util/ZuOutputTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

// The system's own limit on links followed in one path.
constexpr int kMaxLinksFollowed = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool NamesNoFile(const std::string& path) {
  const std::string name = path.substr(FolderOf(path).size());
  return name.empty() || name == "." || name == "..";
}

}  // namespace

std::string ZuOutputTarget::FollowLinks(std::string path) {
  for (int i = 0; i < kMaxLinksFollowed; ++i) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      return path;
    }
    std::vector<char> link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    const ssize_t length = readlink(path.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<size_t>(length) >= link.size()) {
      return path;
    }
    const std::string next(link.data(), static_cast<size_t>(length));
    path = next[0] == '/' ? next : FolderOf(path) + next;
  }
  return std::string();
}

ZuStatus ZuOutputTarget::Of(const std::string& path, ZuOutputTarget* target) {
  if (path == kStandardOutput) {
    *target = {path, false};
    return ZuStatus();
  }
  if (path.empty()) {
    return ZuStatus::FromErrno(ENOENT);
  }
  struct stat info {};
  const bool exists = stat(path.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) {
    return ZuStatus::FromErrno(EISDIR);
  }
  if (exists && !S_ISREG(info.st_mode)) {
    *target = {path, false};
    return ZuStatus();
  }
  const std::string end = FollowLinks(path);
  if (end.empty()) {
    return ZuStatus::FromErrno(ELOOP);
  }
  if (NamesNoFile(end)) {
    return ZuStatus::FromErrno(EISDIR);
  }
  *target = {end, true};
  return ZuStatus();
}
