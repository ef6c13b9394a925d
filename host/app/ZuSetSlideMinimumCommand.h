#pragma once

#include <memory>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"

class ZuProject;

// Command 441: sets a slide's minimum duration. A slide shorter than its new minimum is
// lengthened by a modify-slide-duration command (439) that this command runs, keeps and
// drives on Undo and Redo.
class ZuSetSlideMinimumCommand : public ZuCCommand {
 public:
  ZuSetSlideMinimumCommand();
  ~ZuSetSlideMinimumCommand() override;
  IZuCommand* Clone() const override { return new ZuSetSlideMinimumCommand(*this); }
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override { PostEvent(kZuEventRedone); }

 private:
  ZuSetSlideMinimumCommand(const ZuSetSlideMinimumCommand& other);
  ZuErrorCodeEnum SetMinimum(double seconds);

  std::unique_ptr<ZuSetSlideMinimumCommandData> m_data;
  ZuProject* m_project = nullptr;  // not owned
  int32_t m_slideUid = 0;
  double m_before = 0.0;
  double m_after = 0.0;
  std::unique_ptr<IZuCommand> m_lengthen;  // the 439 run by Execute, when one was needed
};
