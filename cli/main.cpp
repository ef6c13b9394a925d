// fmredit: edits FMR screen-recording movies from the command line.

#include <signal.h>
#include <stdlib.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/InputChangedGuard.h"

namespace {

// The message on one line whatever names it holds: control characters (a newline in a file
// name, say) are shown escaped.
std::string OneLine(const std::string& message) {
  static const char kHex[] = "0123456789abcdef";
  std::string line;
  for (const char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      line += "\\n";
    } else if (byte < 0x20 || byte == 0x7F) {
      line += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
    } else {
      line += c;
    }
  }
  return line;
}

void PrintError(const std::string& message) {
  std::cerr << "fmredit: " << OneLine(message) << "\n";
}

int Run(int argc, char** argv) {
  CLI::App app{"fmredit: inspect and edit FMR screen-recording movies (SWF)"};
  app.set_version_flag("--version", std::string("fmredit ") + ZU_VERSION);
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
  AddIdleCommand(app);
  AddTightenCommand(app);
  AddSpeedCommand(app);
  AddRedactCommand(app);
  AddProjectCommand(app);
  AddServeCommand(app);
  AddExportCommand(app);
  AddImportCommand(app);
  AddCaptureCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    PrintError(std::string(error.what()) + " (see fmredit --help)");
    return kExitUsage;
  } catch (const CliError& error) {
    PrintError(error.what());
    return error.GetExitCode();
  } catch (const EditError& error) {
    PrintError(error.what());
    return ExitCodeOf(error.GetKind());
  } catch (const std::bad_alloc&) {
    PrintError("out of memory");
    return kExitFailure;
  } catch (const std::exception& error) {
    PrintError(error.what());
    return kExitFailure;
  } catch (int) {
    PrintError("the movie could not be loaded or edited");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  InstallInputChangedGuard();
  // A file that outgrows the size limit (ulimit -f) is a write failure the commands report
  // and clean up after, not a reason to die.
  signal(SIGXFSZ, SIG_IGN);
  // The GIF palettes' OpenMP threads wait for each other by spinning unless told to sleep;
  // on a busy machine the spinning takes the processor from the very thread they wait for
  // (a photo-heavy GIF took twice as long). Set before any thread starts and before the
  // media library is loaded; a value the user set stays.
  setenv("OMP_WAIT_POLICY", "PASSIVE", 0);
  try {
    return Run(argc, argv);
  } catch (...) {
    // Setting up the command line failed (no memory, or the error stream itself failed).
    return kExitFailure;
  }
}
