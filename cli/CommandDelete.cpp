#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFrameTime.h"

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

Cut ChooseCut(const DeleteOptions& options, const ZuFMRTavoFile& movie) {
  if (options.firstFrame) {
    return {*options.firstFrame - int64_t{1}, *options.frameCount};
  }
  return {ZuFrameTime::SecondsToFrames(*options.start, movie.GetFrameRate()),
          ZuFrameTime::SecondsToFrames(*options.length, movie.GetFrameRate())};
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

// The last frame (the stop frame) is never deleted: a cut that starts there deletes nothing
// and is refused; one that reaches it is shortened, which the user is told once it is done.
void RefuseCutOfStopFrameOnly(const Cut& cut, int64_t frames, const std::string& input) {
  if (cut.count > 0 && cut.lastKept + 1 == frames) {
    throw CliError(input + ": frame " + std::to_string(frames) +
                   " is the movie's last frame, which is always kept: nothing to delete");
  }
}

void NoteShortenedCut(const Cut& cut, int64_t frames, const std::string& input) {
  if (cut.lastKept >= 0 && cut.lastKept + cut.count >= frames) {
    std::cerr << "fmredit: " << input << ": the last frame, " << frames
              << ", is always kept: deleted frames " << cut.lastKept + 1 << " to " << frames - 1
              << "\n";
  }
}

void RunDelete(const DeleteOptions& options) {
  const bool byTime = options.start || options.length;
  const bool byFrame = options.firstFrame || options.frameCount;
  if (byTime == byFrame || (byTime && !(options.start && options.length)) ||
      (byFrame && !(options.firstFrame && options.frameCount))) {
    throw CliError("give --start and --length, or --first-frame and --frame-count", kExitUsage);
  }
  RefuseWritingOverInputs(options.output, {options.input}, options.inPlace);
  std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  if (byFrame && movie->GetFrameRate() == 0) {
    throw CliError(options.input + ": the movie's frame rate is 0: frames cannot be timed");
  }
  const Cut cut = ChooseCut(options, *movie);
  const int64_t frames = movie->GetFrameCount();
  RefuseCutOfStopFrameOnly(cut, frames, options.input);

  PendingOutput output(options.output);
  const double rate = movie->GetFrameRate();
  const ZuReal start = byFrame ? ZuReal(cut.lastKept / rate) : ZuReal(*options.start);
  const ZuReal length = byFrame ? ZuReal(cut.count / rate) : ZuReal(*options.length);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->RemoveFrames(start, length, ZuString(output.Path()));
  } catch (int) {
    output.ThrowIfWriteFailed();
    throw CliError(options.input +
                   ": the frame after the cut could not be rendered: " + movie->GetEditError());
  }
  if (result == kZuErrorNotFMR) {
    ThrowNotFMR(options.input);
  }
  if (result != kZuSuccess) {
    output.ThrowIfWriteFailed();
    const std::string& why = movie->GetEditError();
    throw CliError(options.input + ": " + (why.empty() ? RefusalReason(cut, frames) : why));
  }
  output.Commit();
  NoteShortenedCut(cut, frames, options.input);
}

}  // namespace

void AddDeleteCommand(CLI::App& app) {
  auto options = std::make_shared<DeleteOptions>();
  CLI::App* command = app.add_subcommand(
      "delete", "Delete a range of frames from an FMR movie, repairing the frames after the cut");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_option("--start", options->start, "Seconds before the first frame to delete")
      ->check(SecondsOption());
  command->add_option("--length", options->length, "Seconds of frames to delete")
      ->check(SecondsOption());
  command->add_option("--first-frame", options->firstFrame, "First frame to delete, from 1")
      ->check(CLI::Range(1, 65535));
  command->add_option("--frame-count", options->frameCount, "How many frames to delete")
      ->check(CLI::Range(1, 65535));
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunDelete(*options); });
}
