#include "projectedit/SlideAccess.h"

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "projectedit/EditError.h"
#include "projectedit/OpenProjectSession.h"

std::string SlideName(const OpenProjectSession& session, int number) {
  return session.Path() + ": slide " + std::to_string(number);
}

ZuSlideBase* FMRSlide(const OpenProjectSession& session, int number, const char* option) {
  ZuSlideBase* slide = session.Slide(number, option);
  if (ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide) == nullptr) {
    throw EditError(SlideName(session, number) + " does not show an FMR movie",
                    EditError::Kind::kNotFMR);
  }
  return slide;
}

std::unique_ptr<ZuFMRTavoFile> LoadSlideMovie(ZuSlideBase* slide) {
  ZuAnimationResource* resource = slide->GetAnimation();
  std::unique_ptr<IZuStream> stream(resource ? resource->CreateReadStream(0) : nullptr);
  try {
    return std::make_unique<ZuFMRTavoFile>(stream.get());
  } catch (int) {
    return nullptr;
  }
}
