#include "host/app/ZuComponentLoader.h"

#include <dlfcn.h>

#include <filesystem>

#include "host/app/IZuComponent.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuPath.h"

namespace {

using ZuComponentEntry = IZuComponent* (*)();

ZuErrorCodeEnum Fail(std::string* error, const std::string& reason) {
  if (error != nullptr) *error = reason;
  return kZuFailure;
}

std::string DlError() {
  const char* reason = dlerror();
  return reason != nullptr ? reason : "unknown error";
}

std::string ExecutableFolder() {
  return ZuFileUtil::GetCurrentExecutablePath()
      .GetParentZuPath(0xFFFFFFFF)
      .GetPathAsZuString()
      .GetUTF8String();
}

bool IsLoaded(const char* name) {
  void* library = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) return false;
  dlclose(library);  // drops only the reference this check took
  return true;
}

}  // namespace

ZuErrorCodeEnum ZuComponentLoader::Load(const std::string& path, const char* entry,
                                        std::string* error, IZuComponent** component) {
  const std::string name = std::filesystem::path(path).filename().string();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return Fail(error, "cannot load " + name + ": " + DlError());
  dlerror();
  auto getComponent = reinterpret_cast<ZuComponentEntry>(dlsym(library, entry));
  if (getComponent == nullptr) return Fail(error, "cannot load " + name + ": " + DlError());
  IZuComponent* loaded = getComponent();
  if (loaded == nullptr) {
    return Fail(error, "cannot load " + name + ": " + entry + " gave no component");
  }
  if (loaded->RegisterCommands() != 0) {
    return Fail(error, "cannot load " + name + ": the component did not register its commands");
  }
  if (component != nullptr) *component = loaded;
  return kZuSuccess;
}

std::string ZuComponentLoader::FindFMREditLibrary() {
  std::string besideExecutable = ExecutableFolder() + "/" + kFMREditLibrary;
  if (std::filesystem::exists(besideExecutable)) return besideExecutable;
  std::string installed = ExecutableFolder() + "/../" + ZU_INSTALL_LIBDIR + "/" + kFMREditLibrary;
  if (std::filesystem::exists(installed)) return installed;
#ifdef ZU_COMPONENT_DIR
  std::string inBuild = std::string(ZU_COMPONENT_DIR) + "/" + kFMREditLibrary;
  if (std::filesystem::exists(inBuild)) return inBuild;
#endif
  return besideExecutable;
}

ZuErrorCodeEnum ZuComponentLoader::LoadFMREditComponent(std::string* error) {
  static std::string firstError;
  // A program linked with the library has it loaded already (found by its name); loading
  // another copy from a file elsewhere would give the process two of every static object.
  static const ZuErrorCodeEnum result =
      Load(IsLoaded(kFMREditLibrary) ? kFMREditLibrary : FindFMREditLibrary(), kFMREditEntry,
           &firstError);
  if (result != kZuSuccess && error != nullptr) *error = firstError;
  return result;
}
