#pragma once

#include <memory>

class ZuProject;

// Holds the session's current project, which it owns.
class ZuProjectHolder {
 public:
  ZuProjectHolder();
  ~ZuProjectHolder();

  ZuProject* GetCurrentProject() const { return m_project.get(); }
  // Makes project the current one; the one held before is closed (its file unlocked).
  void SetCurrentProject(std::unique_ptr<ZuProject> project);
  // Closes the current project, if any.
  void CloseProject();

 private:
  std::unique_ptr<ZuProject> m_project;
};
