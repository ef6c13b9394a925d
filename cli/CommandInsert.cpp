#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "projectedit/EngineRefusal.h"
#include "projectedit/TimeInMovie.h"

namespace {

struct InsertOptions {
  std::string input;
  std::string other;
  std::string output;
  double seconds = 0.0;
  bool inPlace = false;
};

void RunInsert(const InsertOptions& options) {
  RefuseWritingOverInputs(options.output, {options.input, options.other}, options.inPlace);
  std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  RequireWithinMovie(options.input, options.seconds, movie->GetFrameCount(), movie->GetFrameRate());

  PendingOutput output(options.output);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->InsertFMRSWFFile(ZuString(options.other), ZuReal(options.seconds),
                                     ZuString(output.Path()));
  } catch (int) {
    // The engine cannot say whether the other movie could not be read or the key frame
    // could not be rendered: reading the other movie again tells.
    LoadMovieOrThrow(options.other);
    throw CliError(options.input + ": the frame after the insertion point could not be rendered: " +
                   movie->GetEditError());
  }
  if (result != kZuSuccess) {
    output.ThrowIfWriteFailed(result, movie->GetEditError());
    // The movie itself was checked when loaded: a movie refused as not FMR is the other one.
    const bool blamesOther = result == kZuErrorNotFMR || result == kZuErrorDimensionMismatch;
    const std::unique_ptr<ZuTavoFile> other =
        blamesOther ? LoadMovieOrThrow(options.other) : nullptr;
    throw EngineRefusal(result,
                        {.name = options.input,
                         .movie = movie.get(),
                         .other = options.other,
                         .otherMovie = other.get(),
                         .output = options.output,
                         .failure = options.input,
                         .likelyReason = "the movie's tag list is damaged at the insertion point"},
                        movie->GetEditError());
  }
  output.Commit();
}

}  // namespace

void AddInsertCommand(CLI::App& app) {
  auto options = std::make_shared<InsertOptions>();
  CLI::App* command = app.add_subcommand(
      "insert", "Insert another FMR movie of the same size into an FMR movie at a time");
  command->add_option("IN", options->input, "FMR movie (SWF) to insert into")->required();
  command
      ->add_option("--at", options->seconds,
                   "Seconds from the start, up to the movie's end, where the other movie "
                   "goes in front of the last frame")
      ->required()
      ->check(SecondsOption());
  command->add_option("--movie", options->other, "FMR movie (SWF) to insert")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be an input (a new file is written, then renamed over it)");
  command->callback([options] { RunInsert(*options); });
}
