#include "projectedit/ProjectSlides.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideChangeCommandData.h"
#include "host/app/ZuSlideCollection.h"
#include "host/util/ZuFileUtil.h"
#include "projectedit/EditError.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/OpenProjectSession.h"

namespace {

// The command with the id, its data as D, or throws.
template <class D>
std::pair<std::unique_ptr<IZuCommand>, D*> MakeCommand(int32_t id) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(id));
  D* data = command ? dynamic_cast<D*>(command->GetCommandData()) : nullptr;
  if (data == nullptr) throw EditError("internal error: command " + std::to_string(id));
  return {std::move(command), data};
}

std::string ShownName(const ZuSlideBase& slide) {
  const ZuAnimationResource* resource = slide.GetAnimation();
  return resource != nullptr ? resource->GetResourceName(nullptr).GetUTF8String() : "no movie";
}

// The numbers (from 1) of the slides in the list, other than slide, that show its movie.
std::vector<int> Sharers(const ZuSlideBase& slide) {
  std::vector<int> numbers;
  const ZuAnimationResource* resource = slide.GetAnimation();
  const ZuSlideCollection* slides = slide.GetProject()->GetSlideCollection();
  for (int i = 0; resource != nullptr && i < slides->GetCount(); ++i) {
    const ZuSlideBase* other = slides->GetNthElement(i);
    if (other != &slide && other->GetAnimation() == resource) {
      numbers.push_back(i + 1);
    }
  }
  return numbers;
}

// Why name cannot be a slide's name, or empty when it can.
std::string WhyNotName(const std::string& name) {
  if (name.find_first_not_of(" \t") == std::string::npos) {
    return "give a name";
  }
  if (name.size() > kMaxSlideName) {
    return "at most " + std::to_string(kMaxSlideName) + " bytes, not " +
           std::to_string(name.size());
  }
  if (ZuString(std::string_view(name)).GetUTF8String() != name) {
    return "the name is not UTF-8 text";
  }
  for (const unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) {
      return "no control characters in a name";
    }
  }
  if (name.find('/') != std::string::npos) {
    return "no '/' in a name (it becomes a file name)";
  }
  return "";
}

}  // namespace

std::string NameSlides(const std::vector<int>& numbers) {
  std::string text = numbers.size() == 1 ? "slide " : "slides ";
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) {
      text += i + 1 == numbers.size() ? " and " : ", ";
    }
    text += std::to_string(numbers[i]);
  }
  return text;
}

int AddSlideToProject(const OpenProjectSession& session, const SlideOptions& options) {
  if (options.movie.empty() == !options.share) {
    throw EditError("give a MOVIE file or --share INDEX, not both",
                    EditError::Kind::kWrongArgument);
  }
  ZuProject& project = session.Project();
  const int count = project.GetSlideCollection()->GetCount();
  const int after = options.after.value_or(count);
  if (after < 0 || after > count) {
    throw EditError("--after " + std::to_string(after) + ": the project has " +
                        std::to_string(count) + " slides",
                    EditError::Kind::kWrongArgument);
  }
  auto [command, data] = MakeCommand<ZuInsertFMRSlidesCommandData>(kZuCmdInsertFMRSlides);
  data->SetProject(&project);
  data->SetInsertPosition(after - 1);
  data->SetMarkSlidesAsFMRSlide(1);
  if (options.share) {
    data->SetSharedResource(session.Slide(*options.share, "--share")->GetAnimation());
  } else {
    ZuSWFInfo info;
    info.swfFile = ZuFile(ZuString(std::string_view(options.movie)));
    data->AddFMRSWF(info);
    const std::string name =
        options.name.empty()
            ? ZuFileUtil::GetBaseFileName(info.swfFile.GetPathString()).GetUTF8String() + ".swf"
            : options.name;
    data->SetFMRResourceName(ZuString(std::string_view(name)));
    session.CheckReadable(options.movie);
  }
  session.Execute(*command, "cannot add the slide");
  return after + 1;
}

void SetSlideMinimum(const OpenProjectSession& session, const SlideOptions& options) {
  RequireSeconds("minimum", options.minimum);
  auto [command, data] = MakeCommand<ZuSetSlideMinimumCommandData>(kZuCmdSetSlideMinimum);
  data->SetSlide(session.Slide(options.slide, "--slide"));
  data->SetMinimumDuration(options.minimum);
  session.Execute(*command, "cannot set the minimum duration");
}

std::string RemoveSlide(const OpenProjectSession& session, const SlideOptions& options) {
  ZuSlideBase* slide = session.Slide(options.slide, "--slide");
  const std::string name = ShownName(*slide);
  auto [command, data] = MakeCommand<ZuSlideChangeCommandData>(kZuCmdRemoveSlide);
  data->SetSlide(slide);
  session.Execute(*command, "cannot remove the slide");
  std::string message = "removed slide " + std::to_string(options.slide) + " (" + name + ")";
  // The slides still sharing its movie, numbered as they are now.
  const std::vector<int> sharers = Sharers(*slide);
  if (!sharers.empty()) {
    message += "; its movie stays, shown by " + NameSlides(sharers) + " as numbered now";
  }
  return message;
}

std::string MoveSlide(const OpenProjectSession& session, const SlideOptions& options) {
  ZuSlideBase* slide = session.Slide(options.slide, "--slide");
  const int count = session.Project().GetSlideCollection()->GetCount();
  const std::string to = "--to " + std::to_string(options.position) + ": ";
  if (options.position < 1 || options.position > count) {
    throw EditError(to + "the project has " + std::to_string(count) + " slides",
                    EditError::Kind::kWrongArgument);
  }
  if (options.position == options.slide) {
    throw EditError(to + "slide " + std::to_string(options.slide) + " is there already",
                    EditError::Kind::kWrongArgument);
  }
  auto [command, data] = MakeCommand<ZuSlideChangeCommandData>(kZuCmdMoveSlide);
  data->SetSlide(slide);
  data->SetPosition(options.position - 1);
  session.Execute(*command, "cannot move the slide");
  return "moved slide " + std::to_string(options.slide) + " (" + ShownName(*slide) +
         ") to position " + std::to_string(options.position);
}

std::string RenameSlide(const OpenProjectSession& session, const SlideOptions& options) {
  ZuSlideBase* slide = session.Slide(options.slide, "--slide");
  const std::string number = std::to_string(options.slide);
  if (const std::string why = WhyNotName(options.name); !why.empty()) {
    throw EditError("--name: " + why, EditError::Kind::kWrongArgument);
  }
  if (slide->GetAnimation() == nullptr) {
    throw EditError(session.Path() + ": slide " + number + " shows no movie to name",
                    EditError::Kind::kWrongArgument);
  }
  const std::string before = ShownName(*slide);
  if (before == options.name) {
    throw EditError("--name: slide " + number + " is named '" + before + "' already",
                    EditError::Kind::kWrongArgument);
  }
  auto [command, data] = MakeCommand<ZuSlideChangeCommandData>(kZuCmdRenameResource);
  data->SetSlide(slide);
  data->SetName(ZuString(std::string_view(options.name)));
  session.Execute(*command, "cannot rename the slide");
  std::string message =
      "renamed slide " + number + " from '" + before + "' to '" + options.name + "'";
  if (const std::vector<int> sharers = Sharers(*slide); !sharers.empty()) {
    message += "; " + NameSlides(sharers) +
               (sharers.size() == 1 ? ", which shares its movie, shows"
                                    : ", which share its movie, show") +
               " the name too";
  }
  return message;
}
