#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFileWriter.h"

// An output file of an edit while the edit runs: a ZuFileWriter whose file the engine
// writes by its path and which takes the target's place only on Commit; otherwise it is
// removed when this object goes. So a refused or failed edit leaves no output behind, and
// an edit in place keeps its input until the result is complete (key frames are rendered
// from it). A target that is not a regular file (standard output "-", a device) gets the
// finished file copied into it instead.
class PendingOutput {
 public:
  // Creates the new file. Throws CliError naming the target and the reason when it cannot.
  explicit PendingOutput(std::string target);

  // Where the engine writes.
  const std::string& Path() const { return m_file->Path(); }
  // Whether the engine wrote something there.
  bool IsWritten() const;
  // Throws CliError naming the target and the engine's reason (its edit error) when the
  // edit's result is kZuErrorWrite and this output is the one left unwritten.
  void ThrowIfWriteFailed(ZuErrorCodeEnum result, const std::string& editError) const;
  // Moves the file into the target's place. Throws CliError naming the target and the
  // reason when nothing was written or the move fails.
  void Commit();

 private:
  std::string m_target;  // as given
  std::unique_ptr<ZuFileWriter> m_file;
};

// Loads a movie for an edit, or throws CliError naming the file and the reason; a movie that
// is not a valid FMR movie gives "FILE: not a valid FMR movie: REASON" (EditError, not FMR).
std::unique_ptr<ZuFMRTavoFile> LoadEditableMovieOrThrow(const std::string& path);

// Throws CliError (wrong arguments) when output would land on one of the inputs and inPlace
// is not given: compared by what they resolve to (ZuFileIdentity), so a link, a hard link or
// a dangling link to an input counts; inPlaceOffered: whether the message may suggest
// --in-place.
void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs,
                             bool inPlace, bool inPlaceOffered = true);
