#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuOutputTarget.h"

// An output file of an edit while the edit runs. The engine writes into a new file next to
// the target, which takes the target's place only on Commit; otherwise it is removed when
// this object goes. So a refused or failed edit leaves no output behind, and an edit in
// place keeps its input until the result is complete (key frames are rendered from it).
// A target that is a symbolic link is followed (the link stays); standard output ("-") or
// a device gets the finished file copied into it instead (see ZuOutputTarget).
class PendingOutput {
 public:
  // Creates the new file, with the permissions the target has (or any new file would
  // get). Throws CliError when it cannot.
  explicit PendingOutput(std::string target);
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  // Where the engine writes.
  const std::string& Path() const { return m_path; }
  // Whether the engine wrote something there.
  bool IsWritten() const;
  // Throws CliError naming the target and the system's reason when a file write failed
  // since this object was made: the output's own, or a working copy's the edit needed (a
  // full disk, a file-size limit). ownOnly: only when the output's own write failed.
  void ThrowIfWriteFailed(bool ownOnly = false) const;
  // Moves the file into the target's place. Throws CliError naming the target and the
  // reason when nothing was written or the move fails.
  void Commit();

 private:
  static constexpr size_t kCopyChunk = size_t{1} << 20;

  void CopyIntoTarget() const;

  std::string m_target;  // as given
  ZuOutputTarget m_destination;
  std::string m_path;
  uint64_t m_failuresBefore;  // failed file writes of the process before this output
  bool m_committed = false;
};

// Loads a movie for an edit, or throws CliError naming the file and the reason; a movie that
// is not a valid FMR movie gives "FILE: not a valid FMR movie: REASON" (EditError, not FMR).
std::unique_ptr<ZuFMRTavoFile> LoadEditableMovieOrThrow(const std::string& path);

// Throws CliError (wrong arguments) when output names one of the inputs (through a link
// too) and inPlace is not given; inPlaceOffered: whether the message may suggest --in-place.
void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs,
                             bool inPlace, bool inPlaceOffered = true);
