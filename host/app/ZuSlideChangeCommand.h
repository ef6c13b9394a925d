#pragma once

#include <cstdint>
#include <memory>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuSlideChangeCommandData.h"

class ZuProject;
class ZuSlideBase;

// The base of the commands that change a project's slide list or a slide's name and no
// movie. Execute records the change from the data (Prepare) and makes it (Apply forward);
// Undo and Redo apply it backward and forward again, on the same objects found by their ids.
class ZuSlideChangeCommand : public ZuCCommand {
 public:
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override { PostEvent(kZuEventRedone); }

 protected:
  ZuSlideChangeCommand(int32_t id, const char* name);
  ZuSlideChangeCommand(const ZuSlideChangeCommand& other);

  const ZuSlideChangeCommandData& Data() const { return *m_data; }
  ZuProject* Project() const { return m_project; }
  // The slide the command changes, or null once it is gone from the project's objects.
  ZuSlideBase* Slide() const;
  // Records what Apply needs, for the data's slide, which is in its project's slide list;
  // false refuses the change.
  virtual bool Prepare(ZuSlideBase& slide) = 0;
  virtual void Apply(ZuSlideBase& slide, bool forward) = 0;

 private:
  ZuErrorCodeEnum Step(bool forward, int32_t state);

  std::unique_ptr<ZuSlideChangeCommandData> m_data;
  ZuProject* m_project = nullptr;  // not owned
  int32_t m_slideUid = 0;
};

// Command 117: takes a slide out of the slide list. Its movie stays part of the project while
// other slides show it; the last slide showing it takes it out too.
class ZuRemoveSlideCommand : public ZuSlideChangeCommand {
 public:
  ZuRemoveSlideCommand();
  IZuCommand* Clone() const override { return new ZuRemoveSlideCommand(*this); }

 private:
  bool Prepare(ZuSlideBase& slide) override;
  void Apply(ZuSlideBase& slide, bool forward) override;

  int m_index = 0;
  int32_t m_resourceUid = 0;  // the movie's resource, when the slide was the last to show it
};

// Command 118: moves a slide to the data's position (index from 0 in the list as it ends);
// refused when that is where the slide is.
class ZuMoveSlideCommand : public ZuSlideChangeCommand {
 public:
  ZuMoveSlideCommand();
  IZuCommand* Clone() const override { return new ZuMoveSlideCommand(*this); }

 private:
  bool Prepare(ZuSlideBase& slide) override;
  void Apply(ZuSlideBase& slide, bool forward) override;

  int m_from = 0;
  int m_to = 0;
};

// Command 576: names the movie resource a slide shows with the data's name, as it is; every
// slide sharing that movie shows the name. Refused for a slide without a movie or an empty
// name.
class ZuRenameResourceCommand : public ZuSlideChangeCommand {
 public:
  ZuRenameResourceCommand();
  IZuCommand* Clone() const override { return new ZuRenameResourceCommand(*this); }

 private:
  bool Prepare(ZuSlideBase& slide) override;
  void Apply(ZuSlideBase& slide, bool forward) override;

  ZuString m_before;
  ZuString m_after;
};
