#pragma once

#include <cstdint>
#include <utility>
#include <vector>

class IZuCommand;
class ZuProject;

// What an FMR edit command keeps to undo and redo its edit: the movie's duration before and
// after, the edited slide (by project and index), every slide that shows the movie with its
// duration before the edit, and the executed replace-resource command. Each command owns
// one by value; the record owns replaceCommand, never the project.
class ZuFMREditCommandBackupData {
 public:
  // One slide that shows the edited movie: its index and its duration in seconds.
  using Entry = std::pair<int32_t, double>;

  ZuFMREditCommandBackupData() = default;
  // Copies everything; the copy gets its own Clone of replaceCommand.
  ZuFMREditCommandBackupData(const ZuFMREditCommandBackupData& other);
  ZuFMREditCommandBackupData& operator=(const ZuFMREditCommandBackupData& other);
  ~ZuFMREditCommandBackupData();

  double newDuration = 0.0;
  double oldDuration = 0.0;
  int32_t slideIndex = -1;
  ZuProject* project = nullptr;          // not owned
  IZuCommand* replaceCommand = nullptr;  // owned
  std::vector<Entry> affectedSlides;
};
