#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MovieLoading.h"
#include "engine/ZuFMRTavoFile.h"

namespace {

struct DeleteOptions {
  std::string input;
  std::string output;
  std::optional<double> start;
  std::optional<double> length;
  std::optional<int> firstFrame;
  std::optional<int> frameCount;
  bool inPlace = false;
};

// The cut as the engine sees it: frames lastKept + 1 to lastKept + count go.
struct Cut {
  int64_t lastKept = 0;
  int64_t count = 0;
};

// Loads the movie the engine edits, or throws CliError with the reason.
std::unique_ptr<ZuFMRTavoFile> LoadFmrMovieOrThrow(const std::string& path) {
  try {
    return std::make_unique<ZuFMRTavoFile>(ZuString(path));
  } catch (int) {
    LoadMovieOrThrow(path);  // throws with the reason the file cannot be read
    throw CliError(path + ": cannot be loaded");
  }
}

// Seconds as frames, rounded and kept within int as the engine does.
int64_t SecondsToFrames(double seconds, unsigned frameRate) {
  const double frames = std::floor(frameRate * seconds + 0.5);
  return static_cast<int64_t>(std::min(frames, static_cast<double>(INT_MAX)));
}

Cut ChooseCut(const DeleteOptions& options, const ZuFMRTavoFile& movie) {
  if (options.firstFrame) {
    return {*options.firstFrame - int64_t{1}, *options.frameCount};
  }
  return {SecondsToFrames(*options.start, movie.GetFrameRate()),
          SecondsToFrames(*options.length, movie.GetFrameRate())};
}

// Why the engine refused a cut, in words.
std::string RefusalReason(const Cut& cut, int64_t frames) {
  if (cut.count == 0) {
    return "the length is less than half a frame: no frame to delete";
  }
  if (cut.count >= frames - 1) {
    return "cannot delete " + std::to_string(cut.count) + " of the movie's " +
           std::to_string(frames) + " frames: at least two must remain";
  }
  if (cut.lastKept + 1 > frames) {
    return "frame " + std::to_string(cut.lastKept + 1) + " is past the movie's last frame, " +
           std::to_string(frames);
  }
  return "the movie's tag list is damaged; nothing was deleted";
}

// The permissions a new file at path gets: those of the file there now, or what the
// umask leaves of read and write for everyone.
mode_t NewFileMode(const std::string& path) {
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) {
    return existing.st_mode & 07777;
  }
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// A new empty file in the folder of path, with the permissions path will have, to write
// the result into before it takes path's place.
std::string CreateSiblingFile(const std::string& path) {
  std::string pattern = path + ".XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) {
    throw CliError(path + ": cannot write: cannot create a file next to it");
  }
  fchmod(descriptor, NewFileMode(path));
  close(descriptor);
  return pattern;
}

// Removes the file it names when it goes, unless released.
class FileRemover {
 public:
  explicit FileRemover(std::string path) : m_path(std::move(path)) {}
  ~FileRemover() {
    if (!m_path.empty()) {
      std::error_code ignored;
      std::filesystem::remove(m_path, ignored);
    }
  }
  void Release() { m_path.clear(); }

 private:
  std::string m_path;
};

void RunDelete(const DeleteOptions& options) {
  const bool byTime = options.start || options.length;
  const bool byFrame = options.firstFrame || options.frameCount;
  if (byTime == byFrame || (byTime && !(options.start && options.length)) ||
      (byFrame && !(options.firstFrame && options.frameCount))) {
    throw CliError("give --start and --length, or --first-frame and --frame-count", kExitUsage);
  }
  if (!options.inPlace && IsSameFile(options.output, options.input)) {
    throw CliError(options.output + ": is the input file; give another output or --in-place",
                   kExitUsage);
  }
  std::unique_ptr<ZuFMRTavoFile> movie = LoadFmrMovieOrThrow(options.input);
  if (!movie->IsValidFMRSWF()) {
    throw CliError(options.input + ": not a valid FMR movie", kExitNotFMR);
  }
  if (byFrame && movie->GetFrameRate() == 0) {
    throw CliError(options.input + ": the movie's frame rate is 0: frames cannot be timed");
  }
  const Cut cut = ChooseCut(options, *movie);
  const int64_t frames = movie->GetFrameCount();

  // The result goes to a new file that replaces the output only when it is complete, so a
  // failure leaves no output behind and an in-place edit keeps its input until then (key
  // frames are rendered from the input).
  const std::string written = CreateSiblingFile(options.output);
  FileRemover remover(written);
  const double rate = movie->GetFrameRate();
  const ZuReal start = byFrame ? ZuReal(cut.lastKept / rate) : ZuReal(*options.start);
  const ZuReal length = byFrame ? ZuReal(cut.count / rate) : ZuReal(*options.length);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->RemoveFrames(start, length, ZuString(written));
  } catch (int) {
    throw CliError(options.input + ": the frame after the cut could not be rendered");
  }
  if (result == kZuErrorNotFMR) {
    throw CliError(options.input + ": not a valid FMR movie", kExitNotFMR);
  }
  if (result != kZuSuccess) {
    throw CliError(options.input + ": " + RefusalReason(cut, frames));
  }
  std::error_code error;
  if (std::filesystem::file_size(written, error) == 0 || error) {
    throw CliError(options.output + ": cannot write");
  }
  std::filesystem::rename(written, options.output, error);
  if (error) {
    throw CliError(options.output + ": cannot write: " + error.message());
  }
  remover.Release();
}

}  // namespace

void AddDeleteCommand(CLI::App& app) {
  auto options = std::make_shared<DeleteOptions>();
  CLI::App* command = app.add_subcommand(
      "delete", "Delete a range of frames from an FMR movie, repairing the frames after the cut");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_option("--start", options->start, "Seconds before the first frame to delete")
      ->check(CLI::NonNegativeNumber);
  command->add_option("--length", options->length, "Seconds of frames to delete")
      ->check(CLI::NonNegativeNumber);
  command->add_option("--first-frame", options->firstFrame, "First frame to delete, from 1")
      ->check(CLI::Range(1, 65535));
  command->add_option("--frame-count", options->frameCount, "How many frames to delete")
      ->check(CLI::Range(1, 65535));
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunDelete(*options); });
}
