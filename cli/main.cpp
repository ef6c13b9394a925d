// fmredit: edits FMR screen-recording movies from the command line.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/InputChangedGuard.h"

namespace {

int Run(int argc, char** argv) {
  CLI::App app{"fmredit: inspect and edit FMR screen-recording movies (SWF)"};
  app.require_subcommand(1);
  AddInfoCommand(app);
  AddDumpCommand(app);
  AddConvertCommand(app);
  AddRecordCommand(app);
  AddRenderCommand(app);
  AddDeleteCommand(app);
  AddInsertCommand(app);
  AddSplitCommand(app);
  AddMergeCommand(app);
  AddProjectCommand(app);
  AddServeCommand(app);
  AddExportCommand(app);
  AddImportCommand(app);
  AddCaptureCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::cerr << "fmredit: " << error.what() << " (see fmredit --help)\n";
    return kExitUsage;
  } catch (const CliError& error) {
    std::cerr << "fmredit: " << error.what() << "\n";
    return error.GetExitCode();
  } catch (const std::bad_alloc&) {
    std::cerr << "fmredit: out of memory\n";
    return kExitFailure;
  } catch (const std::exception& error) {
    std::cerr << "fmredit: " << error.what() << "\n";
    return kExitFailure;
  } catch (int) {
    std::cerr << "fmredit: the movie could not be loaded or edited\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  InstallInputChangedGuard();
  try {
    return Run(argc, argv);
  } catch (...) {
    // Setting up the command line failed (no memory, or the error stream itself failed).
    return kExitFailure;
  }
}
