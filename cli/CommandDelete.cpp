#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/NumberOption.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EngineRefusal.h"
#include "projectedit/StopFrameRule.h"
#include "projectedit/TimeInMovie.h"

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

FrameCut ChooseCut(const DeleteOptions& options, const ZuFMRTavoFile& movie) {
  if (options.firstFrame) {
    return {*options.firstFrame - int64_t{1}, *options.frameCount};
  }
  return {ZuFrameTime::SecondsToFrames(*options.start, movie.GetFrameRate()),
          ZuFrameTime::SecondsToFrames(*options.length, movie.GetFrameRate())};
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
  if (byTime) {
    RequireWithinMovie(options.input, *options.start, movie->GetFrameCount(),
                       movie->GetFrameRate());
  }
  const FrameCut cut = ChooseCut(options, *movie);
  const int64_t frames = movie->GetFrameCount();
  RefuseCutOfStopFrameOnly(cut, frames, options.input);

  PendingOutput output(options.output);
  const unsigned rate = movie->GetFrameRate();
  const ZuReal start =
      byFrame ? ZuReal(ZuFrameTime::FramesToSeconds(cut.lastKept, rate)) : ZuReal(*options.start);
  const ZuReal length =
      byFrame ? ZuReal(ZuFrameTime::FramesToSeconds(cut.count, rate)) : ZuReal(*options.length);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->RemoveFrames(start, length, ZuString(output.Path()));
  } catch (int) {
    throw CliError(options.input +
                   ": the frame after the cut could not be rendered: " + movie->GetEditError());
  }
  if (result != kZuSuccess) {
    output.ThrowIfWriteFailed(result, movie->GetEditError());
    throw EngineRefusal(result,
                        {.name = options.input,
                         .movie = movie.get(),
                         .failure = options.input,
                         .likelyReason = CutRefusalReason(cut, frames)},
                        movie->GetEditError());
  }
  output.Commit();
  const std::string note = ShortenedCutNote(cut, frames, options.input);
  if (!note.empty()) {
    std::cerr << "fmredit: " << note << "\n";
  }
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
      ->check(WholeNumberOption(1, 65535));
  command->add_option("--frame-count", options->frameCount, "How many frames to delete")
      ->check(WholeNumberOption(1, 65535));
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunDelete(*options); });
}
