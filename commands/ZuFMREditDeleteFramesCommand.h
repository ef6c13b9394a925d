#pragma once

#include "commands/ZuFMREditCommandBase.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditDeleteFramesCommandData.h"

// Command 888: deletes a time range of frames from the movie an FMR slide shows. The edited
// movie replaces the slide's resource through the host's replace-resource command, and every
// slide showing that resource gets the new length.
class ZuFMREditDeleteFramesCommand
    : public ZuFMREditCommandBase<ZuFMREditDeleteFramesCommand, ZuFMREditDeleteFramesCommandData> {
 public:
  // The code the command event sink receives for a redone frame deletion.
  static constexpr int32_t kRedoEventCode = ZuFMREditRedoEventCode(kZuFMREditDeleteFramesCommandId);

  ZuFMREditDeleteFramesCommand();

 private:
  // Load the movie, back up, remove the frames, replace the resource. 0 on success; 1, 201
  // or the failing step's code otherwise.
  ZuErrorCodeEnum Edit() override;
};
