#include "host/app/ZuReplaceResourceCommand.h"

#include <algorithm>

#include "host/app/IZuCommandEventSink.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuResourceNames.h"
#include "host/app/ZuSlideBase.h"

ZuReplaceResourceCommand::ZuReplaceResourceCommand()
    : ZuCCommand(kZuCmdReplaceResource), m_data(new ZuReplaceResourceCommandData()) {
  m_name = "kZuReplaceResourceCommand";
  m_commandData = m_data.get();
}

ZuReplaceResourceCommand::ZuReplaceResourceCommand(const ZuReplaceResourceCommand& other)
    : ZuCCommand(other),
      m_data(static_cast<ZuReplaceResourceCommandData*>(other.m_data->Clone())),
      m_project(other.m_project),
      m_resourceUid(other.m_resourceUid),
      m_before(other.m_before),
      m_after(other.m_after),
      m_timings(other.m_timings) {
  m_commandData = m_data.get();
}

ZuErrorCodeEnum ZuReplaceResourceCommand::Execute() {
  ZuAnimationResource* resource = m_data->GetSourceResource();
  if (resource == nullptr) {
    return kZuFailure;
  }
  ZuMovieFacts facts;
  if (!ZuMovieFacts::ReadFile(m_data->GetDestinationImageFile().GetNativePath(), &facts, nullptr)) {
    return kZuFailure;
  }
  ZuProject* project = resource->GetProject();
  const int64_t version = project->StoreVersion(facts, nullptr);
  if (version == 0) {
    return kZuFailure;
  }

  m_project = project;
  m_resourceUid = resource->GetObjectUID();
  m_before = {resource->GetResourceName(nullptr), resource->GetResourceFMRSwf(nullptr) == 1,
              resource->GetVersionId()};
  const std::string name = ZuReplacedResourceName(
      m_before.name.GetUTF8String(), m_data->GetDestinationResourceName().GetUTF8String());
  m_after = {ZuString(std::string_view(name)), m_data->GetFMRSWF() == 1 && facts.fmr, version};
  m_timings.clear();
  if (m_data->GetUpdateSlideTiming() == 1) {
    for (int32_t i = 0; i < resource->GetUserCount(); ++i) {
      auto* slide = static_cast<ZuSlideBase*>(resource->GetUser(i));
      m_timings.push_back({slide->GetObjectUID(), slide->GetDuration().GetTime(),
                           std::max(facts.duration, slide->GetMinimumDuration())});
    }
  }
  const ZuErrorCodeEnum result = Apply(true);
  SetState(result == kZuSuccess ? kZuCommandExecuted : kZuCommandFailed);
  return result;
}

ZuErrorCodeEnum ZuReplaceResourceCommand::Undo() {
  if (GetState() == kZuCommandNew || GetState() == kZuCommandFailed) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum result = Apply(false);
  if (result == kZuSuccess) {
    SetState(kZuCommandUndone);
  }
  return result;
}

ZuErrorCodeEnum ZuReplaceResourceCommand::Redo() {
  if (GetState() == kZuCommandNew || GetState() == kZuCommandFailed) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum result = Apply(true);
  if (result == kZuSuccess) {
    SetState(kZuCommandRedone);
  }
  return result;
}

ZuErrorCodeEnum ZuReplaceResourceCommand::Apply(bool forward) {
  ZuAnimationResource* resource =
      m_project != nullptr ? m_project->FindResource(m_resourceUid) : nullptr;
  if (resource == nullptr) {
    return kZuFailure;
  }
  const Content& content = forward ? m_after : m_before;
  resource->SetResourceName(content.name);
  resource->SetResourceFMRSwf(content.fmr);
  resource->SetVersionId(content.version);
  for (const SlideTiming& timing : m_timings) {
    if (ZuSlideBase* slide = m_project->FindSlide(timing.slideUid)) {
      slide->SetDuration(ZuDuration(forward ? timing.after : timing.before, kZuDurationSeconds));
    }
  }
  return kZuSuccess;
}
