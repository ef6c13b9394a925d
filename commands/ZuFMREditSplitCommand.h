#pragma once

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"

class ZuFMREditSplitCommandData;
class ZuAnimationResource;
class ZuSlideBase;

// Command 890: cuts the movie an FMR slide shows in two at a time. The slide keeps the first
// part (its resource replaced, the slides showing it get the new length) and a new FMR slide
// right after it shows the second part, added by the host's insert-FMR-slides command. Owns
// its data record (also the base's command data), the backup, and the executed
// insert-FMR-slides command, which its Undo and Redo drive first.
class ZuFMREditSplitCommand : public ZuCCommand {
 public:
  ZuFMREditSplitCommand();
  ~ZuFMREditSplitCommand() override;
  ZuFMREditSplitCommand(const ZuFMREditSplitCommand&) = delete;
  ZuFMREditSplitCommand& operator=(const ZuFMREditSplitCommand&) = delete;

  // A new command with copies of the data, the backup and the inserted-slide command.
  IZuCommand* Clone() const override;
  // 0 on success; 1, 201 or the failing step's code otherwise.
  ZuErrorCodeEnum Execute() override;
  // Undo removes the new slide, then puts the first slide's resource and durations back;
  // Redo applies them again, then adds the new slide back. 1 when Execute never succeeded.
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  // Posts the event 889 to the command event sink, when there is one.
  void RedoNotify() override;

  static const int32_t kRedoEventCode = 889;

 private:
  // Steps that may throw: load and split the movie, replace the resource, add the slide.
  ZuErrorCodeEnum EditMovie(ZuSlideBase* slide, ZuAnimationResource* resource);
  void Report(int percent) const;

  IZuCommand* m_insertedSlideCommand = nullptr;  // owned; the executed command 116
  ZuFMREditCommandBackupData m_backup;
  ZuFMREditSplitCommandData* m_data;  // owned
};
