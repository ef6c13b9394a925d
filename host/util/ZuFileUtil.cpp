#include "host/util/ZuFileUtil.h"

#include <unistd.h>

#include <string>

#include "host/util/ZuTemporaryFolder.h"

ZuFile ZuFileUtil::GetUniqueTemporaryFile(const ZuString& extension) {
  const std::string suffix = extension.GetUTF8String();
  if (suffix.find('/') != std::string::npos) {
    return ZuFile();
  }
  std::string path = ZuTemporaryFolder::Current() + "/fmredit-XXXXXX" + suffix;
  const int fd = mkstemps(path.data(), static_cast<int>(suffix.size()));
  if (fd < 0) {
    return ZuFile();
  }
  close(fd);
  return ZuFile(ZuString(std::string_view(path)));
}

ZuPath ZuFileUtil::GetCurrentExecutablePath() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
    if (length < 0) {
      return ZuPath();
    }
    if (static_cast<size_t>(length) < target.size()) {
      target.resize(static_cast<size_t>(length));
      return ZuPath(ZuString(std::string_view(target)));
    }
    target.resize(target.size() * 2);  // the link may have been cut short: try a bigger buffer
  }
}

// Drops trailing slashes and the folder, then the last extension. Leading dots belong to
// the name, so ".hidden" keeps its dot.
ZuString ZuFileUtil::GetBaseFileName(const ZuString& path) {
  const std::u16string& units = path.GetUTF16();
  size_t end = units.size();
  while (end > 0 && units[end - 1] == u'/') {
    --end;
  }
  const size_t slash = units.find_last_of(u'/', end == 0 ? 0 : end - 1);
  const size_t start = (slash == std::u16string::npos || end == 0) ? 0 : slash + 1;
  std::u16string name = units.substr(start, end - start);

  const size_t firstNonDot = name.find_first_not_of(u'.');
  const size_t dot = name.find_last_of(u'.');
  if (firstNonDot != std::u16string::npos && dot != std::u16string::npos && dot > firstNonDot) {
    name.resize(dot);
  }
  return ZuString(std::move(name));
}
