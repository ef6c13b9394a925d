#include "cli/EditedOutput.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "cli/CliError.h"
#include "cli/MovieLoading.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuTemporaryFolder.h"
#include "projectedit/EngineRefusal.h"

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

// A new empty file from the pattern's XXXXXX with the mode; its path, or "" when it cannot
// be made.
std::string CreateFileLike(std::string pattern, mode_t mode) {
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) {
    return std::string();
  }
  fchmod(descriptor, mode);
  close(descriptor);
  return pattern;
}

}  // namespace

PendingOutput::PendingOutput(std::string target)
    : m_target(std::move(target)),
      m_destination(ZuOutputTarget::Of(m_target)),
      m_failuresBefore(ZuFileStream::LastWriteFailure().count) {
  m_path = m_destination.replaceable
               ? CreateFileLike(m_destination.path + ".XXXXXX", NewFileMode(m_destination.path))
               : CreateFileLike(ZuTemporaryFolder::Current() + "/fmredit-output-XXXXXX", 0600);
  if (m_path.empty()) {
    throw CliError(m_target + ": cannot write: " + std::strerror(errno));
  }
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

void PendingOutput::ThrowIfWriteFailed(bool ownOnly) const {
  const ZuFileStream::WriteFailure failure = ZuFileStream::LastWriteFailure();
  if (failure.count == m_failuresBefore || (ownOnly && failure.path != m_path)) {
    return;
  }
  const std::string copy = failure.path == m_path ? "" : " (writing " + failure.path + ")";
  throw CliError(m_target + ": cannot write: " + std::strerror(failure.errorNumber) + copy);
}

void PendingOutput::Commit() {
  ThrowIfWriteFailed();
  if (!IsWritten()) {
    throw CliError(m_target + ": cannot write: the edit wrote nothing");
  }
  if (m_destination.replaceable) {
    std::error_code error;
    std::filesystem::rename(m_path, m_destination.path, error);
    if (error) {
      throw CliError(m_target + ": cannot write: " + error.message());
    }
    m_committed = true;
    return;
  }
  CopyIntoTarget();
}

// Standard output or a device: the finished file is copied there as it is.
void PendingOutput::CopyIntoTarget() const {
  std::string reason;
  std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(m_path, ZuFileStream::Mode::kRead, &reason));
  std::unique_ptr<ZuFileStream> out(
      in ? ZuFileStream::Open(m_destination.path, ZuFileStream::Mode::kWrite, &reason) : nullptr);
  std::vector<uint8_t> chunk(kCopyChunk);
  for (size_t n = 0; out && (n = in->Read(chunk.data(), chunk.size())) > 0;) {
    out->Write(chunk.data(), n);
  }
  if (!out || in->HasError() || !out->Close()) {
    throw CliError(m_target +
                   ": cannot write: " + (out ? std::strerror(out->GetErrorNumber()) : reason));
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
  for (const std::string& input : inputs) {
    if (IsSameFile(output, input)) {
      throw CliError(output + ": is an input file; give another output" +
                         (inPlaceOffered ? " or --in-place" : ""),
                     kExitUsage);
    }
  }
}
