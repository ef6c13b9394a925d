#include "host/util/ZuPath.h"

namespace {

// Index one past the last character that is not a '/' at or before end, or 0.
size_t SkipSlashesBackward(const std::u16string& path, size_t end) {
  while (end > 0 && path[end - 1] == u'/') {
    --end;
  }
  return end;
}

size_t SkipNameBackward(const std::u16string& path, size_t end) {
  while (end > 0 && path[end - 1] != u'/') {
    --end;
  }
  return end;
}

}  // namespace

// Drops trailing slashes, then the last name, then the slashes before it. What remains is
// the folder; nothing left means the current folder, or the root for an absolute path.
ZuPath ZuPath::GetParentZuPath(uint32_t /*flags*/) const {
  const std::u16string& path = m_path.GetUTF16();
  const bool absolute = !path.empty() && path.front() == u'/';
  size_t end = SkipSlashesBackward(path, path.size());
  end = SkipNameBackward(path, end);
  end = SkipSlashesBackward(path, end);
  if (end == 0) {
    return ZuPath(ZuString(absolute ? u"/" : u"."));
  }
  return ZuPath(ZuString(path.substr(0, end)));
}
