#include "host/util/ZuTemporaryFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace {

// The folder set by the innermost Use on this thread; empty when none is.
thread_local std::string t_folder;

// What mkdtemp puts after "prefix-".
constexpr size_t kUniqueLetters = 6;
// A folder younger than this may be one whose owner has not locked it yet.
constexpr time_t kLockGraceSeconds = 10;

// Whether name is "prefix-" and the letters mkdtemp adds.
bool IsFolderOf(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + 1 + kUniqueLetters || name.rfind(prefix + "-", 0) != 0) {
    return false;
  }
  for (size_t i = prefix.size() + 1; i < name.size(); ++i) {
    if (std::isalnum(static_cast<unsigned char>(name[i])) == 0) {
      return false;
    }
  }
  return true;
}

// Opens the folder and takes its lock without waiting; -1 when it cannot.
int LockFolder(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string ZuTemporaryFolder::Current() {
  if (!t_folder.empty()) return t_folder;
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

ZuTemporaryFolder::ZuTemporaryFolder(const std::string& prefix) {
  const std::string parent = Current();
  RemoveAbandoned(parent, prefix);
  std::string pattern = parent + "/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) {
    m_path = pattern;
    m_lock = LockFolder(m_path);
  }
}

ZuTemporaryFolder::~ZuTemporaryFolder() {
  if (m_path.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
  if (m_lock >= 0) close(m_lock);
}

// Removes the folders of prefix in parent whose lock no process holds.
void ZuTemporaryFolder::RemoveAbandoned(const std::string& parent, const std::string& prefix) {
  DIR* folder = opendir(parent.c_str());
  if (folder == nullptr) return;
  const time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(folder)) {
    const std::string path = parent + "/" + entry->d_name;
    struct stat info {};
    if (!IsFolderOf(entry->d_name, prefix) || lstat(path.c_str(), &info) != 0 ||
        !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
        now - info.st_mtime < kLockGraceSeconds) {
      continue;
    }
    const int lock = LockFolder(path);
    if (lock >= 0) {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
      close(lock);
    }
  }
  closedir(folder);
}

ZuTemporaryFolder::Use::Use(const std::string& folder) : m_previous(t_folder) {
  t_folder = folder;
}

ZuTemporaryFolder::Use::~Use() {
  t_folder = m_previous;
}
