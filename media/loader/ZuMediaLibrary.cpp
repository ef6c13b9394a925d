#include "media/loader/ZuMediaLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "media/ZuMediaError.h"

namespace {

// Where the library is: in the installed lib folder beside the program's bin folder, or
// where the build put it (for the programs run from the build). Found by path, not by the program's
// run path, which dlopen does not consult when a sanitizer's runtime stands in for it.
std::string LibraryPath() {
  std::error_code failed;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
  const std::filesystem::path installed =
      program.parent_path().parent_path() / ZU_INSTALL_LIBDIR / kZuMediaLibrary;
  if (!failed && std::filesystem::exists(installed, failed)) {
    return installed.string();
  }
  return ZU_MEDIA_LIBRARY_IN_BUILD;
}

const ZuMediaEntryPoints* Load() {
  // It stays loaded for the run.
  void* library = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  using GetEntryPoints = const ZuMediaEntryPoints* (*)();
  auto* get = library != nullptr
                  ? reinterpret_cast<GetEntryPoints>(dlsym(library, kZuMediaEntryPointsFunction))
                  : nullptr;
  if (get == nullptr) {
    const char* reason = dlerror();
    throw ZuMediaError(std::string("cannot load the video library: ") +
                       (reason != nullptr ? reason : "unknown error"));
  }
  return get();
}

}  // namespace

const ZuMediaEntryPoints& ZuMediaLibrary() {
  static const ZuMediaEntryPoints* const entryPoints = Load();
  return *entryPoints;
}
