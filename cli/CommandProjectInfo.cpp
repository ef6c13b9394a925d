// fmredit project info: how much room a project's movies take, against full copies.

#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/CliError.h"
#include "cli/ProjectListing.h"
#include "host/app/ZuProject.h"
#include "projectedit/OpenProjectSession.h"

namespace {

void PrintMegabytes(const char* what, int64_t bytes, const std::string& note = "") {
  std::cout << std::left << std::setw(16) << what << std::right << std::setw(10) << std::fixed
            << std::setprecision(1) << static_cast<double>(bytes) / 1e6 << " MB" << note << "\n";
}

}  // namespace

void RunProjectInfo(const std::string& path) {
  OpenProjectSession session(path, ZuProjectAccess::kReadOnly);
  ZuProjectStorage storage;
  std::string error;
  if (!session.Project().ReadStorage(&storage, &error)) {
    throw CliError(path + ": " + error);
  }
  const int64_t saving = storage.fullCopyBytes - storage.fileBytes;
  std::ostringstream share;
  if (storage.fullCopyBytes > 0) {
    share << " (" << std::fixed << std::setprecision(0)
          << 100.0 * static_cast<double>(saving) / static_cast<double>(storage.fullCopyBytes)
          << "%)";
  }
  std::cout << path << ": " << storage.versionCount << " movie versions\n";
  PrintMegabytes("project file", storage.fileBytes);
  PrintMegabytes("as full copies", storage.fullCopyBytes);
  PrintMegabytes("saving", saving, share.str());
  std::cout << std::left << std::setw(16) << "history only" << std::right << std::setw(10)
            << storage.historyOnlyVersions << " versions (project purge drops them)\n";
}
