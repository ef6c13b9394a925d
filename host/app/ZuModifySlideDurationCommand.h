#pragma once

#include <memory>
#include <vector>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuModifySlideDurationCommandData.h"

class ZuProject;

// Command 439: sets the duration of the slides of its data. With constraint checking a
// slide never goes below its minimum duration. Undo puts back each slide's former duration;
// slides are found again by id, so a clone works after the original and its data are gone.
class ZuModifySlideDurationCommand : public ZuCCommand {
 public:
  ZuModifySlideDurationCommand();
  IZuCommand* Clone() const override { return new ZuModifySlideDurationCommand(*this); }
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override { PostEvent(kZuEventRedone); }

 private:
  struct Change {
    ZuProject* project;
    int32_t slideUid;
    double before;
    double after;
  };

  ZuModifySlideDurationCommand(const ZuModifySlideDurationCommand& other);
  ZuErrorCodeEnum Apply(bool forward);

  std::unique_ptr<ZuModifySlideDurationCommandData> m_data;
  std::vector<Change> m_changes;
};
