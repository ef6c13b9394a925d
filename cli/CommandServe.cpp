// fmredit serve: the web editor. Opens the project (or a new one beside a movie) the way the
// project subcommands do and holds it while the server runs; the page's changes are the same
// project edits (projectedit/) as fmredit project add / set / delete / insert / split / merge
// / undo / redo.

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MovieLoading.h"
#include "cli/NumberOption.h"
#include "host/app/ZuProject.h"
#include "host/swf/ZuFileKind.h"
#include "host/util/ZuTemporaryFolder.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectSlides.h"
#include "studio/AccessGuard.h"
#include "studio/StudioServer.h"

extern char** environ;

namespace {

struct ServeOptions {
  std::string target;
  int port = 8470;
  bool open = false;
  size_t uploadMiB = 512;
};

// A new project beside the movie (demo.swf: demo.fmrproj, or demo-2.fmrproj when that is
// taken) holding it as its one slide.
std::string NewProjectFor(const std::string& movie) {
  namespace fs = std::filesystem;
  const fs::path source(movie);
  fs::path project = source.parent_path() / (source.stem().string() + ".fmrproj");
  for (int n = 2; fs::exists(project); ++n) {
    project =
        source.parent_path() / (source.stem().string() + "-" + std::to_string(n) + ".fmrproj");
  }
  std::string error;
  if (!ZuProject::Create(ZuString(std::string_view(project.string())), &error)) {
    throw CliError(project.string() + ": cannot create the project: " + error);
  }
  OpenProjectSession session(project.string(), ZuProjectAccess::kReadWrite);
  SlideOptions options;
  options.movie = movie;
  options.name = source.filename().string();
  AddSlideToProject(session, options);
  std::cout << "created " << project.string() << " holding " << movie << "\n";
  return project.string();
}

void OpenInBrowser(const std::string& address) {
  const char* argv[] = {"xdg-open", address.c_str(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    std::cerr << "fmredit: cannot start xdg-open; open the address by hand\n";
  }
}

void RunServe(const ServeOptions& options) {
  const std::string webRoot = StudioServer::FindWebRoot();
  if (webRoot.empty()) {
    throw CliError("the editor's page is missing (share/zufmredit/web beside fmredit)");
  }
  const ZuFileKind kind = ZuFileKind::OfFile(options.target);
  if (kind.family == ZuFileKind::Family::kVideo) {
    throw CliError(options.target + ": " + kind.name + ", neither an SWF movie nor a project" +
                   ImportHint(options.target));
  }
  const std::string projectPath =
      kind.family == ZuFileKind::Family::kSwf ? NewProjectFor(options.target) : options.target;
  OpenProjectSession project(projectPath, ZuProjectAccess::kReadWrite);
  // The server's private folder for exported versions and uploads, removed with its contents.
  const ZuTemporaryFolder work("fmredit-serve");
  if (work.Path().empty()) {
    throw CliError(ZuTemporaryFolder::Current() + ": cannot make the server's private folder");
  }

  // Ctrl-C and kill reach only the watcher thread, which stops the server; every worker
  // thread inherits the blocked set.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigaddset(&stopSignals, SIGUSR1);  // what wakes the watcher when the server stops otherwise
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  StudioServer server(project,
                      {webRoot, work.Path(), options.uploadMiB << 20, AccessGuard::NewToken()});
  std::string error;
  if (!server.Listen(options.port, &error)) {
    throw CliError(error);
  }
  std::thread watcher([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
  });
  std::cout << "fmredit serve: editing " << projectPath << "\n"
            << "open " << server.Address() << "\n"
            << "Ctrl-C stops the server; every change is saved as it is made" << std::endl;
  if (options.open) {
    OpenInBrowser(server.Address());
  }
  server.Serve();
  pthread_kill(watcher.native_handle(), SIGUSR1);
  watcher.join();
  std::cout << "fmredit serve: stopped" << std::endl;
}

}  // namespace

void AddServeCommand(CLI::App& app) {
  auto options = std::make_shared<ServeOptions>();
  CLI::App* serve =
      app.add_subcommand("serve", "Edit a project in the browser: a timeline editor on 127.0.0.1");
  serve
      ->add_option("TARGET", options->target,
                   "Project file (.fmrproj), or an SWF movie to put in a new project beside it")
      ->required();
  serve->add_option("--port", options->port, "Port on 127.0.0.1 (0: any free port)")
      ->check(WholeNumberOption(0, 65535));
  serve->add_flag("--open", options->open, "Open the editor in the desktop's browser");
  serve->add_option("--max-upload", options->uploadMiB, "Largest movie the page may upload, MiB")
      ->check(WholeNumberOption(1, 65536));
  serve->callback([options] { RunServe(*options); });
}
