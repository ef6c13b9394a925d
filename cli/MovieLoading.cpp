#include "cli/MovieLoading.h"

#include <sys/stat.h>

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
  const ZuStatus status = movie.SaveToFile(path);
  if (!status.ok()) {
    throw CliError(path + ": cannot write: " + status.Message());
  }
}
