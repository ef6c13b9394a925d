#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace engine_test {

// A test's own folder (TempDir) that is also $TMPDIR while it lives, so the temporary
// copies the engine makes land in it too.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* previous = std::getenv("TMPDIR");
    m_hadTmpDir = previous != nullptr;
    if (m_hadTmpDir) {
      m_previousTmpDir = previous;
    }
    setenv("TMPDIR", m_dir.Path().c_str(), 1);
  }
  ~ScratchFolder() {
    if (m_hadTmpDir) {
      setenv("TMPDIR", m_previousTmpDir.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return m_dir.File(name); }
  // The names of the files in the folder.
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

 private:
  TempDir m_dir;
  bool m_hadTmpDir = false;
  std::string m_previousTmpDir;
};

}  // namespace engine_test
