#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFileIdentity.h"
#include "host/util/ZuOutputTarget.h"
#include "projectedit/EngineRefusal.h"
#include "projectedit/TimeInMovie.h"

namespace {

struct SplitOptions {
  std::string input;
  std::vector<std::string> outputs;  // the two parts
  double seconds = 0.0;
};

void RunSplit(const SplitOptions& options) {
  const std::string& first = options.outputs[0];
  const std::string& second = options.outputs[1];
  RefuseWritingOverInputs(first, {options.input}, false, false);
  RefuseWritingOverInputs(second, {options.input}, false, false);
  if (first == ZuOutputTarget::kStandardOutput || second == ZuOutputTarget::kStandardOutput) {
    throw CliError("split writes two files: standard output (-) cannot take a part", kExitUsage);
  }
  if (first == second || ZuFileIdentity::Of(first) == ZuFileIdentity::Of(second)) {
    throw CliError(second + ": both parts would go to the same file", kExitUsage);
  }
  std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  RequireSplitPoint(options.input, options.seconds, movie->GetFrameCount(), movie->GetFrameRate());

  PendingOutput firstOutput(first);
  PendingOutput secondOutput(second);
  ZuErrorCodeEnum result = kZuFailure;
  try {
    result = movie->SplitSWF(ZuReal(options.seconds), ZuString(firstOutput.Path()),
                             ZuString(secondOutput.Path()));
  } catch (int) {
    throw CliError(options.input +
                   ": the frame at the cut could not be rendered: " + movie->GetEditError());
  }
  if (result != kZuSuccess) {
    secondOutput.ThrowIfWriteFailed(result, movie->GetEditError());  // written first
    firstOutput.ThrowIfWriteFailed(result, movie->GetEditError());
    throw EngineRefusal(result,
                        {.name = options.input,
                         .movie = movie.get(),
                         .failure = options.input,
                         .likelyReason = "the movie has no stop action to end the first part"},
                        movie->GetEditError());
  }
  if (!firstOutput.IsWritten() || !secondOutput.IsWritten()) {
    throw CliError(options.input + ": the movie holds fewer frames than its header says");
  }
  firstOutput.Commit();
  secondOutput.Commit();
}

}  // namespace

void AddSplitCommand(CLI::App& app) {
  auto options = std::make_shared<SplitOptions>();
  CLI::App* command = app.add_subcommand(
      "split", "Split an FMR movie in two at a time; the second part opens with the cut frame");
  command->add_option("IN", options->input, "FMR movie (SWF) to split")->required();
  command->add_option("--at", options->seconds, "Seconds from the start: the last frame of PART1")
      ->required()
      ->check(SecondsOption());
  command->add_option("-o,--output", options->outputs, "PART1.swf PART2.swf: the two new files")
      ->required()
      ->expected(2);
  command->callback([options] { RunSplit(*options); });
}
