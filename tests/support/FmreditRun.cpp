#include "tests/support/FmreditRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <utility>

#include "host/util/ZuTemporaryFolder.h"
#include "tests/support/FileBytes.h"

namespace {

std::string CaptureFile() {
  std::string path = ZuTemporaryFolder::Current() + "/fmredit-run-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd >= 0) close(fd);
  return path;
}

std::string TakeFile(const std::string& path) {
  const std::string text = ReadFileText(path);
  std::remove(path.c_str());
  return text;
}

void Redirect(const std::string& path, int target, int flags) {
  const int fd = open(path.c_str(), flags);
  if (fd >= 0 && fd != target) {
    dup2(fd, target);
    close(fd);
  }
}

// Starts the program in a child with its standard streams on the given files.
pid_t Start(const std::vector<std::string>& arguments, const FmreditRunSetup& setup,
            const std::string& outPath, const std::string& errPath) {
  std::vector<std::string> words = {setup.program.empty() ? ZU_FMREDIT_BINARY : setup.program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child != 0) return child;
  Redirect(setup.inputPath, 0, O_RDONLY);
  Redirect(outPath, 1, O_WRONLY | O_TRUNC);
  Redirect(errPath, 2, O_WRONLY | O_TRUNC);
  for (const auto& [resource, value] :
       {std::pair{RLIMIT_FSIZE, setup.fileSizeLimit}, std::pair{RLIMIT_AS, setup.memoryLimit}}) {
    const rlimit limit{static_cast<rlim_t>(value), static_cast<rlim_t>(value)};
    if (value >= 0) setrlimit(resource, &limit);
  }
  if (!setup.workingFolder.empty() && chdir(setup.workingFolder.c_str()) != 0) _exit(126);
  execvp(argv[0], argv.data());
  _exit(127);
}

}  // namespace

int WaitForFmredit(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

int RunInChild(const std::function<int()>& body, long fileSizeLimit) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child != 0) return WaitForFmredit(child);
  if (fileSizeLimit >= 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  int code = 0;
  try {
    code = body();
  } catch (...) {
    code = 101;
  }
  _exit(code);
}

pid_t StartFmredit(const std::vector<std::string>& arguments, const char* errorPath) {
  return Start(arguments, {}, "/dev/null", errorPath);
}

FmreditProcess StartFmredit(const std::vector<std::string>& arguments,
                            const FmreditRunSetup& setup) {
  FmreditProcess process{-1, CaptureFile(), CaptureFile()};
  process.pid = Start(arguments, setup, process.outPath, process.errPath);
  return process;
}

FmreditRun FinishFmredit(const FmreditProcess& process) {
  FmreditRun run;
  run.exitCode = WaitForFmredit(process.pid);
  run.out = TakeFile(process.outPath);
  run.err = TakeFile(process.errPath);
  return run;
}

FmreditRun RunFmredit(const std::vector<std::string>& arguments, const FmreditRunSetup& setup) {
  return FinishFmredit(StartFmredit(arguments, setup));
}
