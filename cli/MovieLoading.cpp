#include "cli/MovieLoading.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/CliError.h"
#include "host/swf/ZuFileKind.h"
#include "host/util/ZuFileStream.h"

std::string ImportHint(const std::string& path) {
  if (ZuFileKind::OfFile(path).family != ZuFileKind::Family::kVideo) {
    return std::string();
  }
  return "; fmredit import makes an FMR movie of a video";
}

std::unique_ptr<ZuTavoFile> LoadMovieOrThrow(const std::string& path) {
  std::string reason;
  std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kRead, &reason));
  if (!stream) {
    throw CliError(path + ": cannot open: " + reason);
  }
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    throw CliError(path + ": is a folder, not an SWF file");
  }
  auto movie = std::make_unique<ZuTavoFile>();
  if (movie->LoadFromStream(stream.get()) != kZuSuccess) {
    throw CliError(path + ": " + movie->GetLastError() + ImportHint(path));
  }
  return movie;
}

void WriteMovieOrThrow(ZuTavoFile& movie, const std::string& path) {
  std::string reason;
  std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  if (!stream) {
    throw CliError(path + ": cannot write: " + reason);
  }
  const bool dumped = movie.DumpToStream(stream.get()) == kZuSuccess;
  if (!dumped) {
    stream->Discard();  // keeps the first failure's reason, if a write failed
  }
  if (!dumped || !stream->Close()) {
    const int error = stream->GetErrorNumber();
    throw CliError(path + ": cannot write: " +
                   (error != 0 && error != ECANCELED ? std::string(std::strerror(error))
                                                     : movie.GetLastError()));
  }
}
