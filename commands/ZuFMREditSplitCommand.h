#pragma once

#include "commands/ZuFMREditCommandBase.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditSplitCommandData.h"

// Command 890: cuts the movie an FMR slide shows in two at a time. The slide keeps the first
// part (its resource replaced, the slides showing it get the new length) and a new FMR slide
// right after it shows the second part, added by the host's insert-FMR-slides command. Also
// owns the executed insert-FMR-slides command, which its Undo and Redo drive first.
class ZuFMREditSplitCommand
    : public ZuFMREditCommandBase<ZuFMREditSplitCommand, ZuFMREditSplitCommandData> {
 public:
  static constexpr int32_t kRedoEventCode = ZuFMREditRedoEventCode(kZuFMREditSplitCommandId);

  ZuFMREditSplitCommand();
  // The copy Clone makes, with a copy of the inserted-slide command.
  ZuFMREditSplitCommand(const ZuFMREditSplitCommand& other);
  ~ZuFMREditSplitCommand() override;

  // Undo removes the new slide, then puts the first slide's resource and durations back;
  // Redo applies them again, then adds the new slide back. 1 when Execute never succeeded.
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;

 private:
  // Load and split the movie, replace the resource, add the slide. 0 on success; 1, 201 or
  // the failing step's code otherwise.
  ZuErrorCodeEnum Edit() override;

  IZuCommand* m_insertedSlideCommand = nullptr;  // owned; the executed command 116
};
