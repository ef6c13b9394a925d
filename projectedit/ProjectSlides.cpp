#include "projectedit/ProjectSlides.h"

#include <memory>
#include <string>
#include <utility>

#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"
#include "host/app/ZuSlideBase.h"
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

}  // namespace

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
