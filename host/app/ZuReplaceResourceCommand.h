#pragma once

#include <memory>
#include <vector>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuReplaceResourceCommandData.h"

class ZuProject;

// Command 575: stores the destination file's bytes as a new version of the source resource
// and points the resource at it under the destination name as ZuResourceNames.h takes it
// (a name of the resource's own family keeps the resource's name). Undo points the resource back
// at its former version and name (both versions stay in the project file); Redo again at
// the new one. With slide timing on, the slides showing the resource take the new movie's
// length (never below their minimum), and Undo gives them back their former durations.
class ZuReplaceResourceCommand : public ZuCCommand {
 public:
  ZuReplaceResourceCommand();
  IZuCommand* Clone() const override { return new ZuReplaceResourceCommand(*this); }
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override { PostEvent(kZuEventRedone); }

 private:
  struct Content {
    ZuString name;
    bool fmr = false;
    int64_t version = 0;
  };
  struct SlideTiming {
    int32_t slideUid;
    double before;
    double after;
  };

  ZuReplaceResourceCommand(const ZuReplaceResourceCommand& other);
  ZuErrorCodeEnum Apply(bool forward);

  std::unique_ptr<ZuReplaceResourceCommandData> m_data;
  ZuProject* m_project = nullptr;  // not owned
  int32_t m_resourceUid = 0;
  Content m_before;
  Content m_after;
  std::vector<SlideTiming> m_timings;
};
