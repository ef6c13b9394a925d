#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuOutputTarget.h"
#include "host/util/ZuStatus.h"

namespace {

struct DumpOptions {
  std::string file;
  std::string output;
};

void RunDump(const DumpOptions& options) {
  LoadMovieOrThrow(options.file);  // gives a clear reason when the file cannot be loaded
  ZuFMRTavoFile movie{ZuString(options.file)};
  const std::string output =
      options.output.empty() ? ZuOutputTarget::kStandardOutput : options.output;
  RefuseWritingOverInputs(output, {options.file}, false, false);
  const ZuStatus written = movie.DumpTextRep(ZuString(output));
  if (!written.ok()) {
    throw CliError(output + ": cannot write: " + written.Message());
  }
}

}  // namespace

void AddDumpCommand(CLI::App& app) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* command =
      app.add_subcommand("dump", "Write the movie's tag list as text, one tag a line");
  command->add_option("FILE", options->file, "SWF file")->required();
  command->add_option("-o,--output", options->output, "Write to this file instead of the terminal");
  command->callback([options] { RunDump(*options); });
}
