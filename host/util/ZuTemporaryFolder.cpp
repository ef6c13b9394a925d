#include "host/util/ZuTemporaryFolder.h"

#include <cstdlib>
#include <filesystem>

namespace {

// The folder set by the innermost Use on this thread; empty when none is.
thread_local std::string t_folder;

}  // namespace

std::string ZuTemporaryFolder::Current() {
  if (!t_folder.empty()) return t_folder;
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

ZuTemporaryFolder::ZuTemporaryFolder(const std::string& prefix) {
  std::string pattern = Current() + "/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
}

ZuTemporaryFolder::~ZuTemporaryFolder() {
  if (m_path.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

ZuTemporaryFolder::Use::Use(const std::string& folder) : m_previous(t_folder) {
  t_folder = folder;
}

ZuTemporaryFolder::Use::~Use() {
  t_folder = m_previous;
}
