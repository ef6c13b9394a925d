#include "commands/ZuFMREditCommandDataBase.h"

#include "commands/ZuFMREditUtils.h"

std::unique_ptr<std::fstream> ZuFMREditCommandDataBase::OpenINISection(const char* action,
                                                                       ZuSlideBase* slide) {
  std::unique_ptr<std::fstream> stream(ZuFMREditUtils::CreateINIStream());
  if (!stream) {
    return nullptr;
  }
  ZuFMREditUtils::AddZuStringINIEntry(*stream, "ACTION", action);
  ZuFMREditUtils::AddCurrentZuFileNameINIEntry(*stream);
  if (slide != nullptr) {
    ZuFMREditUtils::AddSlideNrINIEntry(*stream, slide);
  }
  return stream;
}
