#include "host/app/ZuSlideChangeCommand.h"

#include "host/app/IZuCommandEventSink.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"

ZuSlideChangeCommand::ZuSlideChangeCommand(int32_t id, const char* name)
    : ZuCCommand(id), m_data(new ZuSlideChangeCommandData()) {
  m_name = name;
  m_commandData = m_data.get();
}

ZuSlideChangeCommand::ZuSlideChangeCommand(const ZuSlideChangeCommand& other)
    : ZuCCommand(other),
      m_data(static_cast<ZuSlideChangeCommandData*>(other.m_data->Clone())),
      m_project(other.m_project),
      m_slideUid(other.m_slideUid) {
  m_commandData = m_data.get();
}

ZuSlideBase* ZuSlideChangeCommand::Slide() const {
  return m_project != nullptr ? m_project->FindSlide(m_slideUid) : nullptr;
}

ZuErrorCodeEnum ZuSlideChangeCommand::Execute() {
  ZuSlideBase* slide = m_data->GetSlide();
  if (slide == nullptr || slide->GetIndex() < 0 || GetState() != kZuCommandNew) {
    return kZuFailure;
  }
  m_project = slide->GetProject();
  m_slideUid = slide->GetObjectUID();
  if (!Prepare(*slide)) {
    return kZuFailure;
  }
  Apply(*slide, true);
  SetState(kZuCommandExecuted);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuSlideChangeCommand::Step(bool forward, int32_t state) {
  ZuSlideBase* slide = Slide();
  if (slide == nullptr || GetState() == kZuCommandNew || GetState() == kZuCommandFailed) {
    return kZuFailure;
  }
  Apply(*slide, forward);
  SetState(state);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuSlideChangeCommand::Undo() {
  return Step(false, kZuCommandUndone);
}

ZuErrorCodeEnum ZuSlideChangeCommand::Redo() {
  return Step(true, kZuCommandRedone);
}

ZuRemoveSlideCommand::ZuRemoveSlideCommand()
    : ZuSlideChangeCommand(kZuCmdRemoveSlide, "kZuRemoveSlideCommand") {}

bool ZuRemoveSlideCommand::Prepare(ZuSlideBase& slide) {
  m_index = slide.GetIndex();
  const ZuAnimationResource* resource = slide.GetAnimation();
  m_resourceUid =
      resource != nullptr && resource->GetUserCount() == 1 ? resource->GetObjectUID() : 0;
  return true;
}

void ZuRemoveSlideCommand::Apply(ZuSlideBase& slide, bool forward) {
  ZuAnimationResource* resource =
      m_resourceUid != 0 ? Project()->FindResource(m_resourceUid) : nullptr;
  if (forward) {
    Project()->GetSlideCollection()->Remove(&slide);
    if (resource != nullptr) {
      Project()->DetachResource(resource);
    }
  } else {
    if (resource != nullptr) {
      Project()->AttachResource(resource);
    }
    Project()->GetSlideCollection()->Insert(m_index, &slide);
  }
}

ZuMoveSlideCommand::ZuMoveSlideCommand()
    : ZuSlideChangeCommand(kZuCmdMoveSlide, "kZuMoveSlideCommand") {}

bool ZuMoveSlideCommand::Prepare(ZuSlideBase& slide) {
  m_from = slide.GetIndex();
  m_to = Data().GetPosition();
  return m_to >= 0 && m_to < Project()->GetSlideCollection()->GetCount() && m_to != m_from;
}

void ZuMoveSlideCommand::Apply(ZuSlideBase& slide, bool forward) {
  ZuSlideCollection* slides = Project()->GetSlideCollection();
  slides->Remove(&slide);
  slides->Insert(forward ? m_to : m_from, &slide);
}

ZuRenameResourceCommand::ZuRenameResourceCommand()
    : ZuSlideChangeCommand(kZuCmdRenameResource, "kZuRenameResourceCommand") {}

bool ZuRenameResourceCommand::Prepare(ZuSlideBase& slide) {
  const ZuAnimationResource* resource = slide.GetAnimation();
  if (resource == nullptr || Data().GetName().empty()) {
    return false;
  }
  m_before = resource->GetResourceName(nullptr);
  m_after = Data().GetName();
  return true;
}

void ZuRenameResourceCommand::Apply(ZuSlideBase& slide, bool forward) {
  if (ZuAnimationResource* resource = slide.GetAnimation()) {
    resource->SetResourceName(forward ? m_after : m_before);
  }
}
