#include "cli/CommandProjectSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <memory>

#include "cli/CliError.h"
#include "cli/ProjectHistory.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuProjectHolder.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"

OpenProjectSession::OpenProjectSession(const std::string& path, ZuProjectAccess access)
    : m_path(path) {
  std::string error;
  std::unique_ptr<ZuProject> project =
      ZuProject::Open(ZuString(std::string_view(path)), access, &error);
  if (!project) {
    throw CliError(path + ": " + error);
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
    throw CliError(std::string(option) + " " + std::to_string(number) + ": " + m_path + " has " +
                       std::to_string(m_project->GetSlideCollection()->GetCount()) + " slides",
                   kExitUsage);
  }
  return slide;
}

void OpenProjectSession::Execute(IZuCommand& command, const std::string& what) const {
  if (ZuCmdUtils::ExecuteCommand(&command, 1, 0, nullptr) != kZuSuccess) {
    const std::string& reason = m_project->GetLastError();
    throw CliError(m_path + ": " + what + (reason.empty() ? "" : " (" + reason + ")") +
                   "; the project is unchanged");
  }
}

void OpenProjectSession::CheckReadable(const std::string& movie) const {
  const int fd = open(movie.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    throw CliError(movie + ": " + std::strerror(errno));
  }
  char signature[3] = {};
  const ssize_t got = read(fd, signature, sizeof signature);
  close(fd);
  const std::string text(signature, got > 0 ? static_cast<size_t>(got) : 0);
  if (text != "FWS" && text != "CWS" && text != "ZWS") {
    throw CliError(movie + ": not an SWF movie");
  }
}

bool OpenProjectSession::IsProjectFile(const std::string& path) const {
  struct stat a {
  }, b{};
  return stat(path.c_str(), &a) == 0 && stat(m_path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

namespace {

// The movie's frame count, or -1 when it is not known and its stored bytes cannot be read
// as a movie.
int FrameCount(const ZuProject& project, const ZuAnimationResource& resource) {
  ZuMovieFacts facts;
  if (!project.GetVersionFacts(resource.GetVersionId(), &facts, nullptr)) {
    return -1;
  }
  return facts.frameCount;
}

}  // namespace

void RunProjectList(const std::string& path) {
  OpenProjectSession session(path, ZuProjectAccess::kReadOnly);
  const ZuSlideCollection* slides = session.Project().GetSlideCollection();
  std::cout << "slide  duration  minimum  frames  FMR  shared  resource\n";
  for (int i = 0; i < slides->GetCount(); ++i) {
    const ZuSlideBase* slide = slides->GetNthElement(i);
    const ZuAnimationResource* resource = slide->GetAnimation();
    std::cout << std::setw(5) << i + 1 << std::fixed << std::setprecision(3) << std::setw(10)
              << slide->GetDuration().GetTime().GetValue() << std::setw(9)
              << slide->GetMinimumDuration();
    if (resource == nullptr) {
      std::cout << "       -  " << (slide->IsMarkedFMR() ? "yes" : "no ") << "       -  -\n";
      continue;
    }
    const bool fmr = slide->IsMarkedFMR() && resource->GetResourceFMRSwf(nullptr) == 1;
    std::cout << std::setw(8) << FrameCount(session.Project(), *resource) << "  "
              << (fmr ? "yes" : "no ") << std::setw(8) << resource->GetUserCount() << "  "
              << resource->GetResourceName(nullptr).GetUTF8String() << "\n";
  }
}

void RunProjectLog(const std::string& path) {
  OpenProjectSession session(path, ZuProjectAccess::kReadOnly);
  for (const ZuProjectStateInfo& state : session.Project().ListStates()) {
    std::cout << (state.current ? "* " : "  ") << std::setw(4) << state.id << "  " << state.created
              << "  " << DescribeChange(state.label) << "\n";
  }
}
