#pragma once

#include <string>

#include "host/app/ZuProjectStore.h"

class IZuCommand;
class ZuProject;
class ZuSlideBase;

// A project opened for its edits (one command of the program, or the web editor's whole run)
// and made the host session's current project; closed (and unlocked) when the object goes.
// Every failure throws EditError naming the file.
class OpenProjectSession {
 public:
  OpenProjectSession(const std::string& path, ZuProjectAccess access);
  ~OpenProjectSession();
  OpenProjectSession(const OpenProjectSession&) = delete;
  OpenProjectSession& operator=(const OpenProjectSession&) = delete;

  ZuProject& Project() const { return *m_project; }
  const std::string& Path() const { return m_path; }
  // The slide numbered from 1, or throws (a wrong argument) naming the option.
  ZuSlideBase* Slide(int number, const char* option) const;
  // Runs command as a top-level command (one transaction) or throws with what.
  void Execute(IZuCommand& command, const std::string& what) const;
  // Throws when the movie file cannot be read or is not an SWF file, naming it and saying
  // what it is; reads only the file's first bytes.
  void CheckReadable(const std::string& movie) const;
  bool IsProjectFile(const std::string& path) const;

 private:
  std::string m_path;
  ZuProject* m_project = nullptr;  // owned by the session's project holder
};
