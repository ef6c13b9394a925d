#include "studio/ProjectJson.h"

#include <map>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectHistory.h"

namespace {

nlohmann::json DescribeSlide(const ZuProject& project, const ZuSlideBase& slide, int number,
                             const std::vector<int>& sharers) {
  nlohmann::json json = {{"number", number},
                         {"duration", slide.GetDuration().GetTime().GetValue()},
                         {"minimum", slide.GetMinimumDuration()},
                         {"name", ""},
                         {"version", 0},
                         {"frames", 0},
                         {"frameRate", 0},
                         {"fmr", false}};
  const ZuAnimationResource* resource = slide.GetAnimation();
  if (resource == nullptr) {
    return json;
  }
  json["name"] = resource->GetResourceName(nullptr).GetUTF8String();
  json["version"] = resource->GetVersionId();
  json["fmr"] = slide.IsMarkedFMR() && resource->GetResourceFMRSwf(nullptr) == 1;
  ZuMovieFacts facts;
  if (project.GetVersionFacts(resource->GetVersionId(), &facts, nullptr)) {
    json["frames"] = facts.frameCount;
    json["frameRate"] = facts.frameRate;
  }
  nlohmann::json others = nlohmann::json::array();
  for (int other : sharers) {
    if (other != number) {
      others.push_back(other);
    }
  }
  json["sharedWith"] = others;
  return json;
}

}  // namespace

nlohmann::json DescribeProject(const OpenProjectSession& session) {
  const ZuProject& project = session.Project();
  const ZuSlideCollection* slides = project.GetSlideCollection();

  std::map<int32_t, std::vector<int>> slidesOfResource;
  for (int i = 0; i < slides->GetCount(); ++i) {
    const ZuAnimationResource* resource = slides->GetNthElement(i)->GetAnimation();
    if (resource != nullptr) {
      slidesOfResource[resource->GetObjectUID()].push_back(i + 1);
    }
  }
  nlohmann::json list = nlohmann::json::array();
  for (int i = 0; i < slides->GetCount(); ++i) {
    const ZuSlideBase* slide = slides->GetNthElement(i);
    const ZuAnimationResource* resource = slide->GetAnimation();
    list.push_back(
        DescribeSlide(project, *slide, i + 1,
                      resource ? slidesOfResource[resource->GetObjectUID()] : std::vector<int>{}));
  }

  nlohmann::json history = nlohmann::json::array();
  for (const ZuProjectStateInfo& state : project.ListStates()) {
    history.push_back({{"id", state.id},
                       {"created", state.created},
                       {"change", DescribeChange(state.label)},
                       {"current", state.current}});
  }
  return {{"project", session.Path()},
          {"state", project.GetStateId()},
          {"canUndo", project.GetPreviousStateId() != 0},
          {"canRedo", project.GetNextStateId() != 0},
          {"slides", list},
          {"history", history}};
}
