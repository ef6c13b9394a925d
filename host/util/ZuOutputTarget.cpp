#include "host/util/ZuOutputTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// The system's own limit on links followed in one path.
constexpr int kMaxLinksFollowed = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a chain of symbolic links at path ends at, whether or not a file is there.
std::string FollowLinks(std::string path) {
  for (int i = 0; i < kMaxLinksFollowed; ++i) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      break;
    }
    std::vector<char> link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    const ssize_t length = readlink(path.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<size_t>(length) >= link.size()) {
      break;
    }
    const std::string next(link.data(), static_cast<size_t>(length));
    path = next[0] == '/' ? next : FolderOf(path) + next;
  }
  return path;
}

}  // namespace

ZuOutputTarget ZuOutputTarget::Of(const std::string& path) {
  if (path == kStandardOutput) {
    return {path, false};
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    return {path, false};
  }
  return {FollowLinks(path), true};
}
