#pragma once

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"

class ZuFMREditInsertCommandData;
class ZuAnimationResource;
class ZuSlideBase;

// Command 889: inserts another FMR movie (a project resource or an SWF file) into the movie
// an FMR slide shows, at a time. The result replaces the slide's resource and every slide
// showing it gets the new length. Owns its data record (also the base's command data) and
// the backup that Undo and Redo work from.
class ZuFMREditInsertCommand : public ZuCCommand {
 public:
  ZuFMREditInsertCommand();
  ~ZuFMREditInsertCommand() override;
  ZuFMREditInsertCommand(const ZuFMREditInsertCommand&) = delete;
  ZuFMREditInsertCommand& operator=(const ZuFMREditInsertCommand&) = delete;

  IZuCommand* Clone() const override;
  // 0 on success; 200, 201, 202 for the insertion's refusals; 1 or the failing step's code.
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  // Posts the event 888 to the command event sink, when there is one.
  void RedoNotify() override;

  static const int32_t kRedoEventCode = 888;

 private:
  // Steps that may throw: load the movie, back up, insert, replace the resource.
  ZuErrorCodeEnum EditMovie(ZuSlideBase* slide, ZuAnimationResource* resource);
  void Report(int percent) const;

  ZuFMREditCommandBackupData m_backup;
  ZuFMREditInsertCommandData* m_data;  // owned
};
