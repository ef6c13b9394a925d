#pragma once

#include <stdexcept>
#include <string>

#include "projectedit/EditError.h"

// Exit codes of fmredit.
enum FmrExitCode : int {
  kExitOk = 0,
  kExitFailure = 1,  // the work could not be done: bad file, write failure, ...
  kExitUsage = 2,    // wrong arguments
  // The edits' own refusals:
  kExitFrameLimit = 3,         // the result would pass the frame-count limit
  kExitNotFMR = 4,             // a movie is not a valid FMR movie
  kExitDimensionMismatch = 5,  // the movie to insert differs in width or height
};

// A failure that ends the command: main prints "fmredit: <message>" on one line and exits
// with the code. Messages name the file concerned and the reason.
class CliError : public std::runtime_error {
 public:
  CliError(const std::string& message, int exitCode = kExitFailure)
      : std::runtime_error(message), m_exitCode(exitCode) {}
  int GetExitCode() const { return m_exitCode; }

 private:
  int m_exitCode;
};

// The exit code of an edit's refusal of that kind (main prints its message as for CliError).
constexpr int ExitCodeOf(EditError::Kind kind) {
  switch (kind) {
    case EditError::Kind::kWrongArgument:
      return kExitUsage;
    case EditError::Kind::kFrameLimit:
      return kExitFrameLimit;
    case EditError::Kind::kNotFMR:
      return kExitNotFMR;
    case EditError::Kind::kSizeMismatch:
      return kExitDimensionMismatch;
    case EditError::Kind::kFailure:
      break;
  }
  return kExitFailure;
}
