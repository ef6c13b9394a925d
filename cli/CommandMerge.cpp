#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "projectedit/EngineRefusal.h"

namespace {

struct MergeOptions {
  std::vector<std::string> inputs;  // the first movie, then those appended to it
  std::string output;
  bool inPlace = false;
};

// The first movie appended after the first that breaks a rule of insertion, read on its
// own: unreadable, not FMR, or of another size. Throws its refusal; returns when every
// movie is fine.
void ThrowFirstRefusedMovie(const MergeOptions& options) {
  const std::unique_ptr<ZuTavoFile> first = LoadMovieOrThrow(options.inputs[0]);
  for (size_t i = 1; i < options.inputs.size(); ++i) {
    const std::unique_ptr<ZuTavoFile> other = LoadMovieOrThrow(options.inputs[i]);
    if (!ZuAnimationUtils::IsFMRSWF(*other)) {
      throw NotFMRError(options.inputs[i], ZuAnimationUtils::WhyNotFMRSWF(*other));
    }
    if (other->GetWidth() != first->GetWidth() || other->GetHeight() != first->GetHeight()) {
      throw SizeMismatchError(options.inputs[i], *other, options.inputs[0], *first);
    }
  }
}

void RunMerge(const MergeOptions& options) {
  RefuseWritingOverInputs(options.output, options.inputs, options.inPlace);
  std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.inputs[0]);
  std::vector<ZuString> others;
  for (size_t i = 1; i < options.inputs.size(); ++i) {
    others.push_back(ZuString(options.inputs[i]));
  }
  PendingOutput output(options.output);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->MergeSWFs(others, ZuString(output.Path()));
  } catch (int) {
    // The engine cannot say which movie it could not read; the movies are looked at again
    // only now, so a merge that works reads each of them once.
    ThrowFirstRefusedMovie(options);
    throw CliError(options.inputs[0] + ": a movie could not be merged");
  }
  if (result == kZuSuccess) {
    output.Commit();
    return;
  }
  // The engine does not say which movie it refused: each is looked at on its own.
  if (result == kZuErrorNotFMR || result == kZuErrorDimensionMismatch) {
    ThrowFirstRefusedMovie(options);
  }
  output.ThrowIfWriteFailed(result, movie->GetEditError());
  // At the frame limit, what the engine merged before it is dropped.
  throw EngineRefusal(result == kZuErrorFrameLimit ? result : kZuFailure,
                      {.name = options.inputs[0],
                       .output = options.output,
                       .failure = options.inputs[0] + ": the movies could not be merged"},
                      movie->GetEditError());
}

}  // namespace

void AddMergeCommand(CLI::App& app) {
  auto options = std::make_shared<MergeOptions>();
  CLI::App* command =
      app.add_subcommand("merge", "Append FMR movies of the same size, in order, to the first one");
  command->add_option("FILES", options->inputs, "FIRST.swf OTHER.swf...: the movies, in order")
      ->required()
      ->expected(2, -1);
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be an input (a new file is written, then renamed over it)");
  command->callback([options] { RunMerge(*options); });
}
