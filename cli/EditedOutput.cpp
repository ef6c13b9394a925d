#include "cli/EditedOutput.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "cli/CliError.h"
#include "cli/MovieLoading.h"
#include "host/player/ZuAnimationUtils.h"

namespace {

// The permissions a new file at path gets: those of the file there now, or what the umask
// leaves of read and write for everyone.
mode_t NewFileMode(const std::string& path) {
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) {
    return existing.st_mode & 07777;
  }
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

PendingOutput::PendingOutput(std::string target) : m_target(std::move(target)) {
  std::string pattern = m_target + ".XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) {
    throw CliError(m_target + ": cannot write: cannot create a file next to it");
  }
  fchmod(descriptor, NewFileMode(m_target));
  close(descriptor);
  m_path = pattern;
}

PendingOutput::~PendingOutput() {
  if (!m_committed) {
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
  }
}

bool PendingOutput::IsWritten() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(m_path, error);
  return !error && size > 0;
}

void PendingOutput::Commit() {
  if (!IsWritten()) {
    throw CliError(m_target + ": cannot write");
  }
  std::error_code error;
  std::filesystem::rename(m_path, m_target, error);
  if (error) {
    throw CliError(m_target + ": cannot write: " + error.message());
  }
  m_committed = true;
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
    ThrowNotFMR(path, ZuAnimationUtils::WhyNotFMRSWF(*movie));
  }
  return movie;
}

void RefuseWritingOverInputs(const std::string& output, const std::vector<std::string>& inputs,
                             bool inPlace) {
  if (inPlace) {
    return;
  }
  for (const std::string& input : inputs) {
    if (IsSameFile(output, input)) {
      throw CliError(output + ": is an input file; give another output or --in-place", kExitUsage);
    }
  }
}

void ThrowFrameLimit(const std::string& output) {
  throw CliError(output + ": the result would have more than " +
                     std::to_string(ZuFMRTavoFile::m_maxSWFFramesLimit) + " frames",
                 kExitFrameLimit);
}

void ThrowNotFMR(const std::string& path, const std::string& reason) {
  throw CliError(path + ": not a valid FMR movie" + (reason.empty() ? "" : ": " + reason),
                 kExitNotFMR);
}

void ThrowSizeMismatch(const std::string& other, const ZuTavoFile& otherMovie,
                       const std::string& movie, const ZuTavoFile& movieItself) {
  throw CliError(other + ": the movie to insert is " + std::to_string(otherMovie.GetWidth()) +
                     " x " + std::to_string(otherMovie.GetHeight()) + " pixels, " + movie + " is " +
                     std::to_string(movieItself.GetWidth()) + " x " +
                     std::to_string(movieItself.GetHeight()),
                 kExitDimensionMismatch);
}
