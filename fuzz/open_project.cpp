// Any bytes as a project file: open it, read its history, its current state and the movies
// that state shows.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuProjectStore.h"
#include "host/util/ZuSharedBytes.h"
#include "host/util/ZuTemporaryFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ZuTemporaryFolder folder("fmredit-fuzz");
  const std::string path = folder.File("project.fmrproj");
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  // Read-only first; then read-write, which upgrades a file of the first format in place.
  for (ZuProjectAccess access : {ZuProjectAccess::kReadOnly, ZuProjectAccess::kReadWrite}) {
    std::string error;
    auto store = ZuProjectStore::Open(path, access, &error);
    if (store == nullptr) continue;
    store->ListStates();
    ZuProjectState state;
    if (!store->LoadState(store->GetCurrentStateId(), &state, &error)) continue;
    for (const ZuProjectState::Resource& resource : state.resources) {
      ZuSharedBytes bytes;
      store->ReadVersion(resource.version, &bytes, &error);
    }
  }
  return 0;
}
