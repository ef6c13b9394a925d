#pragma once

#include <string>

#include "host/util/ZuErrorCode.h"

class IZuComponent;

// Loads a component library with dlopen, looks up its entry function and asks the component
// to register its commands with the session. The library stays loaded until the process ends;
// the component belongs to the library.
class ZuComponentLoader {
 public:
  // The FMR edit component's library and its entry function.
  static constexpr const char* kFMREditLibrary = "libzufmredit.so";
  static constexpr const char* kFMREditEntry = "GetZuFMREditComponent";

  // Loads the library at path, calls entry and registers the component. On failure returns 1
  // and, when error is given, says why ("cannot load libzufmredit.so: <reason>").
  static ZuErrorCodeEnum Load(const std::string& path, const char* entry, std::string* error,
                              IZuComponent** component = nullptr);

  // Where the FMR edit library is looked for: next to the executable, then in the installed
  // lib folder beside bin/, then in the build's library folder. Returns the first that
  // exists, or the one next to the executable.
  static std::string FindFMREditLibrary();

  // Loads and registers the FMR edit component once per process (the copy already loaded,
  // when the program is linked with it); later calls return the first call's result.
  static ZuErrorCodeEnum LoadFMREditComponent(std::string* error);
};
