#pragma once

#include <vector>

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"
#include "host/util/ZuString.h"

class ZuFMREditMergeSlidesCommandData;
class ZuAnimationResource;
class ZuFMRTavoFile;
class ZuSlideBase;

// Command 901: appends the movies of the second and following FMR slides, in list order, to
// the movie of the first one. Only the first slide's resource is replaced (and the slides
// showing it get the merged length); the other slides stay as they were. Owns its data
// record (also the base's command data) and the backup that Undo and Redo work from.
class ZuFMREditMergeSlidesCommand : public ZuCCommand {
 public:
  ZuFMREditMergeSlidesCommand();
  ~ZuFMREditMergeSlidesCommand() override;
  ZuFMREditMergeSlidesCommand(const ZuFMREditMergeSlidesCommand&) = delete;
  ZuFMREditMergeSlidesCommand& operator=(const ZuFMREditMergeSlidesCommand&) = delete;

  IZuCommand* Clone() const override;
  // 0 on success; 200 when the frame limit cut the list short (the resource is still
  // replaced); 201 when the first movie is not FMR; 1 or the failing step's code otherwise.
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  // Posts the event 900 to the command event sink, when there is one.
  void RedoNotify() override;

  static const int32_t kRedoEventCode = 900;

 private:
  // Steps that may throw: load the first movie, copy the others, merge, replace.
  ZuErrorCodeEnum MergeMovies(ZuSlideBase* first);
  // Saves the movie of each following slide to a temporary file and lists the paths.
  ZuErrorCodeEnum CopyFollowingMovies(std::vector<ZuString>& paths) const;
  // Gives every slide that showed the first resource the merged length.
  void SetMergedDurations();
  void Report(int percent) const;

  ZuFMREditCommandBackupData m_backup;
  ZuFMREditMergeSlidesCommandData* m_data;  // owned
};
