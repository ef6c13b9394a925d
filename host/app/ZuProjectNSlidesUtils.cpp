#include "host/app/ZuProjectNSlidesUtils.h"

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"

bool ZuProjectNSlidesUtils::IsFMRSlide(const ZuSlideBase* slide, bool checkResource) {
  if (slide == nullptr || !slide->IsMarkedFMR()) return false;
  if (!checkResource) return true;
  const ZuAnimationResource* animation = slide->GetAnimation();
  return animation != nullptr && animation->GetResourceFMRSwf(nullptr) == 1;
}
