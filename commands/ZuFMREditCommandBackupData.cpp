#include "commands/ZuFMREditCommandBackupData.h"

#include "host/app/IZuCommand.h"

ZuFMREditCommandBackupData::ZuFMREditCommandBackupData(const ZuFMREditCommandBackupData& other)
    : newDuration(other.newDuration),
      oldDuration(other.oldDuration),
      slideIndex(other.slideIndex),
      project(other.project),
      replaceCommand(other.replaceCommand != nullptr ? other.replaceCommand->Clone() : nullptr),
      affectedSlides(other.affectedSlides) {}

ZuFMREditCommandBackupData& ZuFMREditCommandBackupData::operator=(
    const ZuFMREditCommandBackupData& other) {
  if (this == &other) return *this;
  IZuCommand* replacement =
      other.replaceCommand != nullptr ? other.replaceCommand->Clone() : nullptr;
  delete replaceCommand;
  replaceCommand = replacement;
  newDuration = other.newDuration;
  oldDuration = other.oldDuration;
  slideIndex = other.slideIndex;
  project = other.project;
  affectedSlides = other.affectedSlides;
  return *this;
}

ZuFMREditCommandBackupData::~ZuFMREditCommandBackupData() {
  delete replaceCommand;
}
