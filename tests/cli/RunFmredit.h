#pragma once

#include <string>
#include <vector>

// The outcome of one run of the fmredit program.
struct FmreditRun {
  int exitCode = -1;  // -1 when the program did not exit normally (a crash, a signal)
  std::string out;
  std::string err;
};

// Runs the fmredit built alongside the tests with the given arguments, standard input read
// from the file at inputPath (by default none).
FmreditRun RunFmredit(const std::vector<std::string>& arguments,
                      const std::string& inputPath = "/dev/null");
