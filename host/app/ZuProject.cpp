#include "host/app/ZuProject.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuSlideBase.h"

namespace {

bool SetError(std::string* error, const std::string& message) {
  if (error != nullptr) {
    *error = message;
  }
  return false;
}

// Every object id used once, and every slide showing a resource of the state.
bool IsConsistent(const ZuProjectState& state) {
  std::set<int32_t> ids;
  for (const ZuProjectState::Resource& resource : state.resources) {
    if (resource.uid <= 0 || !ids.insert(resource.uid).second) {
      return false;
    }
  }
  const std::set<int32_t> resources = ids;
  for (const ZuProjectState::Slide& slide : state.slides) {
    if (slide.uid <= 0 || !ids.insert(slide.uid).second) {
      return false;
    }
    if (slide.resource != 0 && resources.count(slide.resource) == 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

ZuProject::ZuProject(std::unique_ptr<ZuProjectStore> store) : m_store(std::move(store)) {}

ZuProject::~ZuProject() = default;

std::unique_ptr<ZuProject> ZuProject::Create(const ZuString& path, std::string* error) {
  std::unique_ptr<ZuProjectStore> store = ZuProjectStore::Create(path.GetUTF8String(), error);
  if (!store) {
    return nullptr;
  }
  return std::unique_ptr<ZuProject>(new ZuProject(std::move(store)));
}

std::unique_ptr<ZuProject> ZuProject::Open(const ZuString& path, ZuProjectAccess access,
                                           std::string* error) {
  std::unique_ptr<ZuProjectStore> store = ZuProjectStore::Open(path.GetUTF8String(), access, error);
  if (!store) {
    return nullptr;
  }
  std::unique_ptr<ZuProject> project(new ZuProject(std::move(store)));
  if (!project->LoadCurrentState(error)) {
    return nullptr;
  }
  return project;
}

bool ZuProject::LoadCurrentState(std::string* error) {
  ZuProjectState state;
  return m_store->LoadCurrentState(&state, error) && ApplyState(state, error);
}

ZuString ZuProject::GetProjectFileFullName(ZuErrorCodeEnum* error) const {
  if (error != nullptr) {
    *error = kZuSuccess;
  }
  std::error_code ignored;  // a path that cannot be made absolute is given as it is
  const std::filesystem::path full = std::filesystem::absolute(m_store->GetPath(), ignored);
  return ZuString(std::string_view(full.empty() ? m_store->GetPath() : full.string()));
}

ZuSlideBase* ZuProject::NewSlide() {
  return SlideWithUid(m_nextUid);
}

ZuAnimationResource* ZuProject::NewAnimationResource(const ZuString& name) {
  ZuAnimationResource* resource = ResourceWithUid(m_nextUid);
  resource->SetResourceName(name);
  return resource;
}

ZuSlideBase* ZuProject::FindSlide(int32_t uid) const {
  for (const auto& slide : m_ownedSlides) {
    if (slide->GetObjectUID() == uid) {
      return slide.get();
    }
  }
  return nullptr;
}

ZuAnimationResource* ZuProject::FindResource(int32_t uid) const {
  for (const auto& resource : m_ownedResources) {
    if (resource->GetObjectUID() == uid) {
      return resource.get();
    }
  }
  return nullptr;
}

// The object with uid, made when there is none yet; uids at or above it are not handed out again.
ZuSlideBase* ZuProject::SlideWithUid(int32_t uid) {
  if (ZuSlideBase* found = FindSlide(uid)) {
    return found;
  }
  m_ownedSlides.push_back(std::make_unique<ZuSlideBase>(uid, this));
  m_nextUid = std::max(m_nextUid, uid + 1);
  return m_ownedSlides.back().get();
}

ZuAnimationResource* ZuProject::ResourceWithUid(int32_t uid) {
  if (ZuAnimationResource* found = FindResource(uid)) {
    return found;
  }
  m_ownedResources.push_back(std::make_unique<ZuAnimationResource>(uid, ZuString(), this));
  m_nextUid = std::max(m_nextUid, uid + 1);
  return m_ownedResources.back().get();
}

void ZuProject::AttachResource(ZuAnimationResource* resource) {
  if (std::find(m_resources.begin(), m_resources.end(), resource) == m_resources.end()) {
    m_resources.push_back(resource);
  }
}

void ZuProject::DetachResource(ZuAnimationResource* resource) {
  std::erase(m_resources, resource);
}

int64_t ZuProject::StoreVersion(const ZuMovieFacts& movie, std::string* error) {
  return m_store->InsertVersion(movie, error);
}

bool ZuProject::ExportVersion(int64_t version, const std::string& path, std::string* error) const {
  return m_store->ExportVersion(version, path, error);
}

bool ZuProject::GetVersionFacts(int64_t version, ZuMovieFacts* facts, std::string* error) const {
  if (m_store->ReadVersionFacts(version, facts)) {
    return true;
  }
  ZuSharedBytes bytes;
  if (!m_store->ReadVersion(version, &bytes, error) ||
      !ZuMovieFacts::Examine(bytes, facts, error)) {
    return false;
  }
  facts->bytes = ZuSharedBytes();
  return true;
}

ZuProjectState ZuProject::CaptureState() const {
  ZuProjectState state;
  state.nextUid = m_nextUid;
  for (const ZuAnimationResource* resource : m_resources) {
    state.resources.push_back(
        {resource->GetObjectUID(), resource->GetResourceName(nullptr).GetUTF8String(),
         resource->GetResourceFMRSwf(nullptr) == 1, resource->GetVersionId()});
  }
  std::sort(state.resources.begin(), state.resources.end(),
            [](const auto& a, const auto& b) { return a.uid < b.uid; });
  for (int i = 0; i < m_slides.GetCount(); ++i) {
    const ZuSlideBase* slide = m_slides.GetNthElement(i);
    const ZuAnimationResource* shown = slide->GetAnimation();
    state.slides.push_back({slide->GetObjectUID(), slide->GetDuration().GetTime(),
                            slide->GetMinimumDuration(), slide->IsMarkedFMR(),
                            shown != nullptr ? shown->GetObjectUID() : 0});
  }
  return state;
}

bool ZuProject::ApplyState(const ZuProjectState& state, std::string* error) {
  if (!IsConsistent(state)) {
    return SetError(error, "project file is damaged (its slides and resources do not agree)");
  }
  m_resources.clear();
  for (const ZuProjectState::Resource& stored : state.resources) {
    ZuAnimationResource* resource = ResourceWithUid(stored.uid);
    resource->SetResourceName(ZuString(std::string_view(stored.name)));
    resource->SetResourceFMRSwf(stored.fmr);
    resource->SetVersionId(stored.version);
    m_resources.push_back(resource);
  }
  m_slides.Clear();
  for (const ZuProjectState::Slide& stored : state.slides) {
    ZuSlideBase* slide = SlideWithUid(stored.uid);
    slide->SetDuration(ZuDuration(stored.duration, kZuDurationSeconds));
    slide->SetMinimumDuration(stored.minimumDuration);
    slide->SetMarkedFMR(stored.fmr);
    slide->SetAnimation(stored.resource != 0 ? FindResource(stored.resource) : nullptr);
    m_slides.Insert(m_slides.GetCount(), slide);
  }
  m_nextUid = std::max(m_nextUid, state.nextUid);
  return true;
}

bool ZuProject::BeginCommand(std::string* error) {
  return m_store->Begin(error);
}

bool ZuProject::CommitCommand(const std::string& label, std::string* error) {
  if (m_store->AppendState(CaptureState(), label, error) && m_store->Commit(error)) {
    return true;
  }
  AbortCommand();
  return false;
}

bool ZuProject::CommitAtState(int64_t stateId, std::string* error) {
  if (m_store->SetCurrentState(stateId, error) && m_store->Commit(error)) {
    return true;
  }
  AbortCommand();
  return false;
}

void ZuProject::AbortCommand() {
  m_store->Rollback();
  LoadCurrentState(nullptr);
}

bool ZuProject::RevertToState(int64_t stateId, std::string* error) {
  ZuProjectState state;
  if (!m_store->LoadState(stateId, &state, error)) {
    return false;
  }
  if (!m_store->Begin(error)) {
    return false;
  }
  if (!m_store->SetCurrentState(stateId, error) || !m_store->Commit(error)) {
    m_store->Rollback();
    return false;
  }
  return ApplyState(state, error);
}
