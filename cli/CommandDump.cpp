#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MovieLoading.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuFileUtil.h"

namespace {

struct DumpOptions {
  std::string file;
  std::string output;
};

// The editor's own text dump is written to a file; for standard output it goes through a
// temporary file that is removed afterwards.
void CopyFileToStdout(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::cout << in.rdbuf();
}

void RunDump(const DumpOptions& options) {
  LoadMovieOrThrow(options.file);  // gives a clear reason when the file cannot be loaded
  ZuFMRTavoFile movie{ZuString(options.file)};
  if (!options.output.empty()) {
    if (IsSameFile(options.output, options.file)) {
      throw CliError(options.output + ": is the input file; give another output", kExitUsage);
    }
    movie.DumpTextRep(ZuString(options.output));
    if (!ZuFile(ZuString(options.output)).DoesFileExist()) {
      throw CliError(options.output + ": cannot write the dump");
    }
    return;
  }
  const ZuFile temporary = ZuFileUtil::GetUniqueTemporaryFile(ZuString(".txt"));
  if (!temporary.DoesFileExist()) {
    throw CliError("cannot create a temporary file for the dump");
  }
  movie.DumpTextRep(temporary.GetPathString());
  CopyFileToStdout(temporary.GetNativePath());
  temporary.Delete();
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
