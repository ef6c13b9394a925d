#include "host/app/ZuSlideBase.h"

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"

ZuSlideBase::ZuSlideBase(int32_t uid, ZuProject* project)
    : ZuTavoCollectionItem(uid), m_project(project) {}

int ZuSlideBase::GetIndex() const {
  return m_project->GetSlideCollection()->IndexOf(this);
}

ZuResourceItem* ZuSlideBase::GetShownResource() const {
  return m_animation;
}
