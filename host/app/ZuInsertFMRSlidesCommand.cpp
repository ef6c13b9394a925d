#include "host/app/ZuInsertFMRSlidesCommand.h"

#include <algorithm>
#include <set>
#include <string>

#include "host/app/IZuCommandEventSink.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuResourceNames.h"
#include "host/app/ZuSlideBase.h"

ZuInsertFMRSlidesCommand::ZuInsertFMRSlidesCommand()
    : ZuCCommand(kZuCmdInsertFMRSlides), m_data(new ZuInsertFMRSlidesCommandData()) {
  m_name = "kZuInsertFMRSlidesCommand";
  m_commandData = m_data.get();
}

ZuInsertFMRSlidesCommand::ZuInsertFMRSlidesCommand(const ZuInsertFMRSlidesCommand& other)
    : ZuCCommand(other),
      m_data(static_cast<ZuInsertFMRSlidesCommandData*>(other.m_data->Clone())),
      m_project(other.m_project),
      m_firstIndex(other.m_firstIndex),
      m_slides(other.m_slides),
      m_resources(other.m_resources) {
  m_commandData = m_data.get();
}

ZuErrorCodeEnum ZuInsertFMRSlidesCommand::Execute() {
  ZuProject* project = m_data->GetProject();
  if (project == nullptr || GetState() != kZuCommandNew) {
    return kZuFailure;
  }
  const int count = project->GetSlideCollection()->GetCount();
  m_firstIndex = std::clamp(m_data->GetInsertPosition() + 1, 0, count);
  const ZuErrorCodeEnum result =
      m_data->GetSharedResource() != nullptr ? AddSharedSlide(project) : AddMovies(project);
  if (result != kZuSuccess) {
    return result;
  }
  m_project = project;
  PutIn();
  SetState(kZuCommandExecuted);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuInsertFMRSlidesCommand::AddMovies(ZuProject* project) {
  const std::vector<ZuSWFInfo>& movies = m_data->GetFMRSWFs();
  if (movies.empty()) {
    return kZuFailure;
  }
  std::vector<ZuMovieFacts> facts(movies.size());
  for (size_t i = 0; i < movies.size(); ++i) {
    if (!ZuMovieFacts::ReadFile(movies[i].swfFile.GetNativePath(), &facts[i], nullptr)) {
      return kZuFailure;
    }
  }
  std::vector<int64_t> versions;
  for (const ZuMovieFacts& movie : facts) {
    versions.push_back(project->StoreVersion(movie, nullptr));
    if (versions.back() == 0) {
      return kZuFailure;
    }
  }
  std::set<std::string> taken;
  for (const ZuAnimationResource* resource : project->GetResources()) {
    taken.insert(resource->GetResourceName(nullptr).GetUTF8String());
  }
  for (size_t i = 0; i < movies.size(); ++i) {
    const std::string name = ZuNewResourceName(m_data->GetFMRResourceName().GetUTF8String(), taken);
    taken.insert(name);
    ZuAnimationResource* resource = project->NewAnimationResource(ZuString(std::string_view(name)));
    resource->SetResourceFMRSwf(facts[i].fmr);
    resource->SetVersionId(versions[i]);
    ZuSlideBase* slide = project->NewSlide();
    slide->SetAnimation(resource);
    slide->SetDuration(ZuDuration(facts[i].duration, kZuDurationSeconds));
    slide->SetMarkedFMR(m_data->GetMarkSlidesAsFMRSlide() == 1);
    m_resources.push_back(resource->GetObjectUID());
    m_slides.push_back(slide->GetObjectUID());
  }
  return kZuSuccess;
}

ZuErrorCodeEnum ZuInsertFMRSlidesCommand::AddSharedSlide(ZuProject* project) {
  ZuAnimationResource* resource = m_data->GetSharedResource();
  ZuMovieFacts facts;
  if (resource->GetProject() != project ||
      !project->GetVersionFacts(resource->GetVersionId(), &facts, nullptr)) {
    return kZuFailure;
  }
  ZuSlideBase* slide = project->NewSlide();
  slide->SetAnimation(resource);
  slide->SetDuration(ZuDuration(facts.duration, kZuDurationSeconds));
  slide->SetMarkedFMR(m_data->GetMarkSlidesAsFMRSlide() == 1);
  m_slides.push_back(slide->GetObjectUID());
  return kZuSuccess;
}

ZuErrorCodeEnum ZuInsertFMRSlidesCommand::Undo() {
  if (m_project == nullptr) {
    return kZuFailure;
  }
  TakeOut();
  SetState(kZuCommandUndone);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuInsertFMRSlidesCommand::Redo() {
  if (m_project == nullptr) {
    return kZuFailure;
  }
  PutIn();
  SetState(kZuCommandRedone);
  return kZuSuccess;
}

void ZuInsertFMRSlidesCommand::PutIn() {
  for (int32_t uid : m_resources) {
    m_project->AttachResource(m_project->FindResource(uid));
  }
  int index = m_firstIndex;
  for (int32_t uid : m_slides) {
    ZuSlideBase* slide = m_project->FindSlide(uid);
    if (slide->GetIndex() < 0) {
      m_project->GetSlideCollection()->Insert(index, slide);
    }
    ++index;
  }
}

void ZuInsertFMRSlidesCommand::TakeOut() {
  for (int32_t uid : m_slides) {
    m_project->GetSlideCollection()->Remove(m_project->FindSlide(uid));
  }
  for (int32_t uid : m_resources) {
    m_project->DetachResource(m_project->FindResource(uid));
  }
}
