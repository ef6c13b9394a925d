#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// Runs the fmredit program built with the tests (or another program, or test code) as a real
// second process.

// The outcome of one run.
struct FmreditRun {
  int exitCode = -1;  // -signal when the program was killed
  std::string out;
  std::string err;
};

// How a run is started; the defaults read no input and set no limit.
struct FmreditRunSetup {
  std::string inputPath = "/dev/null";  // standard input
  long fileSizeLimit = -1;              // bytes a file may grow to (RLIMIT_FSIZE); -1: none
  long memoryLimit = -1;                // bytes of address space (RLIMIT_AS); -1: none
  std::string workingFolder;            // empty: the test's own
  std::string program;                  // empty: the fmredit built with the tests; a name
                                        // without a slash is looked up on the PATH
};

// Runs fmredit with the arguments and waits for it.
FmreditRun RunFmredit(const std::vector<std::string>& arguments, const FmreditRunSetup& setup = {});

// A run started and not waited for yet; its output goes to files until it is finished.
struct FmreditProcess {
  pid_t pid = -1;
  std::string outPath;
  std::string errPath;
};
FmreditProcess StartFmredit(const std::vector<std::string>& arguments,
                            const FmreditRunSetup& setup);
// Waits for the started run and takes what it wrote.
FmreditRun FinishFmredit(const FmreditProcess& process);
// Starts fmredit with its standard output thrown away and its error output on errorPath (a
// terminal, say); returns its process id.
pid_t StartFmredit(const std::vector<std::string>& arguments, const char* errorPath = "/dev/null");
// Waits for a started fmredit: its exit code, or -signal.
int WaitForFmredit(pid_t pid);

// Runs body in a child process, so that limits and crashes stay there, and returns its exit
// code (101 when it throws), or -signal. With a fileSizeLimit of 0 or more, files may grow
// to that many bytes and writes past it fail (EFBIG) instead of ending the process.
int RunInChild(const std::function<int()>& body, long fileSizeLimit = -1);
