#include "cli/ProjectListing.h"

#include <iomanip>
#include <iostream>

#include "cli/CliError.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectHistory.h"

namespace {

// The movie's frame count; a slide whose movie is damaged stops the listing with the reason.
int FrameCount(const ZuProject& project, const ZuAnimationResource& resource, int slide) {
  ZuMovieFacts facts;
  std::string error;
  if (!project.GetVersionFacts(resource.GetVersionId(), &facts, &error)) {
    throw CliError("slide " + std::to_string(slide) + ": " + error);
  }
  return facts.frameCount;
}

}  // namespace

void RunProjectList(const std::string& path) {
  OpenProjectSession session(path, ZuProjectAccess::kReadOnly);
  const ZuSlideCollection* slides = session.Project().GetSlideCollection();
  std::cout << "slide  duration  minimum  frames  FMR  shared  resource\n";
  for (int i = 0; i < slides->GetCount(); ++i) {
    const ZuSlideBase* slide = slides->GetNthElement(i);
    const ZuAnimationResource* resource = slide->GetAnimation();
    const int frames = resource != nullptr ? FrameCount(session.Project(), *resource, i + 1) : 0;
    std::cout << std::setw(5) << i + 1 << std::fixed << std::setprecision(3) << std::setw(10)
              << slide->GetDuration().GetTime().GetValue() << std::setw(9)
              << slide->GetMinimumDuration();
    if (resource == nullptr) {
      std::cout << "       -  " << (slide->IsMarkedFMR() ? "yes" : "no ") << "       -  -\n";
      continue;
    }
    const bool fmr = slide->IsMarkedFMR() && resource->GetResourceFMRSwf(nullptr) == 1;
    std::cout << std::setw(8) << frames << "  " << (fmr ? "yes" : "no ") << std::setw(8)
              << resource->GetUserCount() << "  "
              << resource->GetResourceName(nullptr).GetUTF8String() << "\n";
  }
}

void RunProjectLog(const std::string& path) {
  OpenProjectSession session(path, ZuProjectAccess::kReadOnly);
  for (const ZuProjectStateInfo& state : session.Project().ListStates()) {
    std::cout << (state.current ? "* " : "  ") << std::setw(4) << state.id << "  " << state.created
              << "  " << DescribeChange(state.label) << "\n";
  }
}
