#include "projectedit/OpenProjectSession.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuProjectHolder.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/swf/ZuFileKind.h"
#include "projectedit/EditError.h"

OpenProjectSession::OpenProjectSession(const std::string& path, ZuProjectAccess access)
    : m_path(path) {
  std::string error;
  std::unique_ptr<ZuProject> project =
      ZuProject::Open(ZuString(std::string_view(path)), access, &error);
  if (!project) {
    throw EditError(path + ": " + error);
  }
  m_project = project.get();
  QuerySession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
}

OpenProjectSession::~OpenProjectSession() {
  QuerySession()->GetCommandHistory()->Clear();
  QuerySession()->GetProjectHolder(1, 0)->CloseProject();
}

ZuSlideBase* OpenProjectSession::Slide(int number, const char* option) const {
  ZuSlideBase* slide = m_project->GetSlideCollection()->GetNthElement(number - 1);
  if (slide == nullptr) {
    throw EditError(std::string(option) + " " + std::to_string(number) + ": " + m_path + " has " +
                        std::to_string(m_project->GetSlideCollection()->GetCount()) + " slides",
                    EditError::Kind::kWrongArgument);
  }
  return slide;
}

void OpenProjectSession::Execute(IZuCommand& command, const std::string& what) const {
  if (ZuCmdUtils::ExecuteCommand(&command, 1, 0, nullptr) != kZuSuccess) {
    const std::string& reason = m_project->GetLastError();
    throw EditError(m_path + ": " + what + (reason.empty() ? "" : " (" + reason + ")") +
                    "; the project is unchanged");
  }
}

void OpenProjectSession::CheckReadable(const std::string& movie) const {
  const ZuFileKind kind = ZuFileKind::OfFile(movie);
  if (kind.family == ZuFileKind::Family::kSwf) {
    return;
  }
  if (access(movie.c_str(), R_OK) != 0) {
    throw EditError(movie + ": " + std::strerror(errno));
  }
  throw EditError(movie + ": not an SWF movie" +
                  (*kind.name != 0 ? ": " + std::string(kind.name) : ""));
}

bool OpenProjectSession::IsProjectFile(const std::string& path) const {
  struct stat a {
  }, b{};
  return stat(path.c_str(), &a) == 0 && stat(m_path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}
