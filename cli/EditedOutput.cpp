#include "cli/EditedOutput.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "cli/CliError.h"
#include "cli/MovieLoading.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/util/ZuFileIdentity.h"
#include "host/util/ZuStatus.h"
#include "projectedit/EngineRefusal.h"

PendingOutput::PendingOutput(std::string target) : m_target(std::move(target)) {
  ZuStatus status;
  m_file = ZuFileWriter::Open(m_target, &status, ZuFileWriter::Staging::kTemporaryFile);
  if (!m_file) {
    throw CliError(m_target + ": cannot write: " + status.Message());
  }
}

bool PendingOutput::IsWritten() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(Path(), error);
  return !error && size > 0;
}

void PendingOutput::ThrowIfWriteFailed(ZuErrorCodeEnum result, const std::string& editError) const {
  if (result == kZuErrorWrite && !IsWritten()) {
    throw CliError(m_target + ": " + editError);
  }
}

void PendingOutput::Commit() {
  if (!IsWritten()) {
    throw CliError(m_target + ": cannot write: the edit wrote nothing");
  }
  const ZuStatus status = m_file->Commit();
  if (!status.ok()) {
    throw CliError(m_target + ": cannot write: " + status.Message());
  }
}

std::unique_ptr<ZuFMRTavoFile> LoadEditableMovieOrThrow(const std::string& path) {
  std::unique_ptr<ZuFMRTavoFile> movie;
  try {
    movie = std::make_unique<ZuFMRTavoFile>(ZuString(path));
  } catch (int) {
    LoadMovieOrThrow(path);  // throws with the reason the file cannot be read
    throw CliError(path + ": cannot be loaded");
  }
  if (!movie->IsValidFMRSWF()) {
    throw NotFMRError(path, ZuAnimationUtils::WhyNotFMRSWF(*movie));
  }
  return movie;
}

void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs,
                             bool inPlace, bool inPlaceOffered) {
  if (inPlace) {
    return;
  }
  const ZuFileIdentity written = ZuFileIdentity::Of(output);
  for (const std::string& input : inputs) {
    if (written == ZuFileIdentity::Of(input)) {
      throw CliError(output + ": is an input file; give another output" +
                         (inPlaceOffered ? " or --in-place" : ""),
                     kExitUsage);
    }
  }
}
