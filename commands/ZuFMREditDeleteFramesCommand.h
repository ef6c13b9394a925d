#pragma once

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"

class ZuFMREditDeleteFramesCommandData;
class ZuFMRTavoFile;
class ZuAnimationResource;
class ZuSlideBase;

// Command 888: deletes a time range of frames from the movie an FMR slide shows. The edited
// movie replaces the slide's resource through the host's replace-resource command, and every
// slide showing that resource gets the new length. The command owns its data record (also
// the base's command data) and the backup that Undo and Redo work from.
class ZuFMREditDeleteFramesCommand : public ZuCCommand {
 public:
  ZuFMREditDeleteFramesCommand();
  ~ZuFMREditDeleteFramesCommand() override;
  ZuFMREditDeleteFramesCommand(const ZuFMREditDeleteFramesCommand&) = delete;
  ZuFMREditDeleteFramesCommand& operator=(const ZuFMREditDeleteFramesCommand&) = delete;

  // A new command with a copy of the data and of the backup (its own replace command).
  IZuCommand* Clone() const override;
  // 0 on success; 1, 201 or the failing step's code otherwise (see the .cpp).
  ZuErrorCodeEnum Execute() override;
  // Put the resource and the slide durations back as they were before, or after, the edit.
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  // Posts the event 887 to the command event sink, when there is one.
  void RedoNotify() override;

  // The code the command event sink receives for a redone frame deletion.
  static const int32_t kRedoEventCode = 887;

 private:
  // Steps that may throw: load the movie, back up, remove the frames, replace the resource.
  ZuErrorCodeEnum EditMovie(ZuSlideBase* slide, ZuAnimationResource* resource);
  void Report(int percent) const;

  ZuFMREditCommandBackupData m_backup;
  ZuFMREditDeleteFramesCommandData* m_data;  // owned
};
