#pragma once

#include <string>

#include "host/app/ZuProjectStore.h"

class IZuCommand;
class ZuProject;
class ZuSlideBase;

// A project opened for one fmredit command and made the session's current project; closed
// (and unlocked) when the object goes. Every failure throws CliError naming the file.
class OpenProjectSession {
 public:
  OpenProjectSession(const std::string& path, ZuProjectAccess access);
  ~OpenProjectSession();
  OpenProjectSession(const OpenProjectSession&) = delete;
  OpenProjectSession& operator=(const OpenProjectSession&) = delete;

  ZuProject& Project() const { return *m_project; }
  const std::string& Path() const { return m_path; }
  // The slide numbered from 1, or throws naming the option.
  ZuSlideBase* Slide(int number, const char* option) const;
  // Runs command as a top-level command (one transaction) or throws with what.
  void Execute(IZuCommand& command, const std::string& what) const;
  // Throws when the movie file cannot be opened or is not an SWF file, naming it.
  void CheckReadable(const std::string& movie) const;
  bool IsProjectFile(const std::string& path) const;

 private:
  std::string m_path;
  ZuProject* m_project = nullptr;  // owned by the session's project holder
};

// fmredit project list / log / info.
void RunProjectList(const std::string& path);
void RunProjectLog(const std::string& path);
void RunProjectInfo(const std::string& path);
