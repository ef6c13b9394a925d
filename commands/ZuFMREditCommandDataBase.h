#pragma once

#include <fstream>
#include <memory>

#include "commands/IZuFMREditProgressEvent.h"
#include "host/app/IZuCommandData.h"
#include "host/util/ZuErrorCode.h"

class ZuSlideBase;

// What the parameter records of the four FMR edit commands share: the progress receiver they
// point to (not owned), and the opening of their section of the parameter dump.
class ZuFMREditCommandDataBase : public IZuCommandData {
 public:
  IZuFMREditProgressEvent* GetProgressEvent() const { return m_progressEvent; }
  ZuErrorCodeEnum SetProgressEvent(IZuFMREditProgressEvent* event) {
    m_progressEvent = event;
    return kZuSuccess;
  }

 protected:
  // Opens the dump with a new section: ACTION = action, the current project's file and, when
  // slide is not null, its number. Null when the dump cannot be made.
  static std::unique_ptr<std::fstream> OpenINISection(const char* action, ZuSlideBase* slide);

 private:
  IZuFMREditProgressEvent* m_progressEvent = nullptr;
};
