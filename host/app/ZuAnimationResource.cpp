#include "host/app/ZuAnimationResource.h"

#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "host/util/ZuMemoryStream.h"

ZuAnimationResource::ZuAnimationResource(int32_t uid, ZuString name, ZuProject* project)
    : ZuResourceItem(uid, std::move(name)), m_project(project) {}

int32_t ZuAnimationResource::GetResourceFMRSwf(ZuErrorCodeEnum* error) const {
  if (error != nullptr) *error = kZuSuccess;
  return m_fmr ? 1 : 0;
}

IZuStream* ZuAnimationResource::CreateReadStream(int32_t) const {
  ZuSharedBytes bytes;
  if (!m_project->ReadVersion(m_version, &bytes, nullptr)) return nullptr;
  return new ZuMemoryStream(std::move(bytes));
}

int32_t ZuAnimationResource::GetUserCount() const {
  int32_t count = 0;
  const ZuSlideCollection* slides = m_project->GetSlideCollection();
  for (int i = 0; i < slides->GetCount(); ++i) {
    if (slides->GetNthElement(i)->GetAnimation() == this) ++count;
  }
  return count;
}

ZuTavoCollectionItem* ZuAnimationResource::GetUser(int32_t index) const {
  const ZuSlideCollection* slides = m_project->GetSlideCollection();
  for (int i = 0; i < slides->GetCount(); ++i) {
    ZuSlideBase* slide = slides->GetNthElement(i);
    if (slide->GetAnimation() == this && index-- == 0) return slide;
  }
  return nullptr;
}
