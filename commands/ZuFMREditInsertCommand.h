#pragma once

#include "commands/ZuFMREditCommandBase.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditInsertCommandData.h"

// Command 889: inserts another FMR movie (a project resource or an SWF file) into the movie
// an FMR slide shows, at a time. The result replaces the slide's resource and every slide
// showing it gets the new length.
class ZuFMREditInsertCommand
    : public ZuFMREditCommandBase<ZuFMREditInsertCommand, ZuFMREditInsertCommandData> {
 public:
  static constexpr int32_t kRedoEventCode = ZuFMREditRedoEventCode(kZuFMREditInsertCommandId);

  ZuFMREditInsertCommand();

 private:
  // Load the movie, back up, insert, replace the resource. 0 on success; 200, 201, 202 for
  // the insertion's refusals; 1 or the failing step's code otherwise.
  ZuErrorCodeEnum Edit() override;
};
