#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"

// An output file of an edit while the edit runs. The engine writes into a new file next to
// the target, which takes the target's place only on Commit; otherwise it is removed when
// this object goes. So a refused or failed edit leaves no output behind, and an edit in
// place keeps its input until the result is complete (key frames are rendered from it).
class PendingOutput {
 public:
  // Creates the new file next to target, with the permissions target has (or any new file
  // would get). Throws CliError when it cannot.
  explicit PendingOutput(std::string target);
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  // Where the engine writes.
  const std::string& Path() const { return m_path; }
  const std::string& Target() const { return m_target; }
  // Whether the engine wrote something there.
  bool IsWritten() const;
  // Moves the file into the target's place. Throws CliError when nothing was written or the
  // rename fails.
  void Commit();

 private:
  std::string m_target;
  std::string m_path;
  bool m_committed = false;
};

// Loads a movie for an edit, or throws CliError naming the file and the reason; a movie that
// is not a valid FMR movie gives "FILE: not a valid FMR movie: REASON" and exit code
// kExitNotFMR.
std::unique_ptr<ZuFMRTavoFile> LoadEditableMovieOrThrow(const std::string& path);

// Throws CliError (wrong arguments) when output names one of the inputs and inPlace is not
// given.
void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs,
                             bool inPlace);

// The one-line refusals of the edits, each with its exit code.
[[noreturn]] void ThrowFrameLimit(const std::string& output);
[[noreturn]] void ThrowNotFMR(const std::string& path, const std::string& reason = "");
// other: the movie to insert; movie: the movie it goes into.
[[noreturn]] void ThrowSizeMismatch(const std::string& other, const ZuTavoFile& otherMovie,
                                    const std::string& movie, const ZuTavoFile& movieItself);
