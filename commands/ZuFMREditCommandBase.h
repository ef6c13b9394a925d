#pragma once

#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"
#include "host/util/ZuFile.h"

class ZuAnimationResource;
class ZuFMRTavoFile;
class ZuSlideBase;

// What the four FMR edit commands share. Command is the concrete command (Clone makes one
// with its copy constructor), Data its parameter record. The command owns the record (also
// ZuCCommand's command data) and the backup that Undo and Redo work from.
//
// Execute logs the edit, reports 5 %, then runs the command's Edit; when Edit throws, it
// reports 100 % and gives 1. Undo and Redo put the edited resource and the slide durations
// back as they were before, or after, the edit; RedoNotify posts the command's redo event.
template <typename Command, typename Data>
class ZuFMREditCommandBase : public ZuCCommand {
 public:
  ~ZuFMREditCommandBase() override;

  // A new command with a copy of the data and of the backup, in the state of a new command.
  IZuCommand* Clone() const override;
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  // Posts the command's redo event to the command event sink, when there is one.
  void RedoNotify() override;

 protected:
  // name: the command's name; action: the name of the edit in the user event log.
  ZuFMREditCommandBase(int32_t id, const char* name, const char* action, int32_t redoEventCode);
  // The copy Clone makes: name, flags, event sink, backup and a copy of the data.
  ZuFMREditCommandBase(const ZuFMREditCommandBase& other);
  ZuFMREditCommandBase& operator=(const ZuFMREditCommandBase&) = delete;

  // The edit itself; may throw.
  virtual ZuErrorCodeEnum Edit() = 0;

  // Reports percent to the data's progress receiver, when there is one.
  void Report(int percent) const;
  // The movie the resource holds, read from a stream of it; null when it is not FMR.
  static std::unique_ptr<ZuFMRTavoFile> LoadMovie(ZuAnimationResource* resource);
  // How an edit of one slide starts: the FMR resource the slide shows into resource, the
  // data's INI written, the movie the resource holds loaded into movie and backed up.
  // kZuFailure when the slide shows no FMR resource, kZuErrorNotFMR when the movie is not
  // FMR, the backup's code when that fails.
  ZuErrorCodeEnum OpenSlideMovie(ZuSlideBase* slide, ZuAnimationResource*& resource,
                                 std::unique_ptr<ZuFMRTavoFile>& movie);
  // Records the edited movie's length as the backup's new duration.
  void SetNewDuration(const ZuFMRTavoFile& movie);
  // Hands the movie in output to the resource and gives every slide showing it the new
  // duration; the replacement's code when that fails.
  ZuErrorCodeEnum ReplaceMovie(ZuAnimationResource* resource, const ZuFile& output);
  // How an edit that made one movie ends: 66 %, ReplaceMovie, 100 % when it worked.
  ZuErrorCodeEnum FinishWithMovie(ZuAnimationResource* resource, const ZuFile& output);

  ZuFMREditCommandBackupData m_backup;
  Data* m_data;  // owned

 private:
  const char* m_action;
  int32_t m_redoEventCode;
};
