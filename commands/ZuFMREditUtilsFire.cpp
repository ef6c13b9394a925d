// The four entry points that run an FMR edit command: each makes the command by id through
// the host's registry, fills its data and executes it, then deletes it. Whatever the undo
// history keeps is its own clone.

#include <memory>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditComponent.h"
#include "commands/ZuFMREditUtils.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuProjectNSlidesUtils.h"

namespace {

// A new command for id together with its data as Data; both null when either is missing.
template <class Data>
std::pair<std::unique_ptr<IZuCommand>, Data*> CreateWithData(int32_t id) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(id));
  if (command == nullptr) return {nullptr, nullptr};
  Data* data = dynamic_cast<Data*>(command->GetCommandData());
  if (data == nullptr) return {nullptr, nullptr};
  return {std::move(command), data};
}

ZuErrorCodeEnum Run(IZuCommand& command) {
  return ZuCmdUtils::ExecuteCommand(&command, 1, 0, nullptr);
}

}  // namespace

ZuErrorCodeEnum ZuFMREditUtils::FireDelFramesCommand(ZuSlideBase* slide, const ZuReal& start,
                                                     const ZuReal& length) {
  auto [command, data] =
      CreateWithData<ZuFMREditDeleteFramesCommandData>(kZuFMREditDeleteFramesCommandId);
  if (command == nullptr) return kZuFailure;
  data->SetFMRSlide(slide);
  data->SetStartPosition(start);
  data->SetDuration(length);
  return Run(*command);
}

ZuErrorCodeEnum ZuFMREditUtils::FireInsertSWFCommand(ZuSlideBase* slide,
                                                     const ZuString& fileToInsert,
                                                     ZuAnimationResource* animationToInsert,
                                                     const ZuReal& insertAt) {
  auto [command, data] = CreateWithData<ZuFMREditInsertCommandData>(kZuFMREditInsertCommandId);
  if (command == nullptr) return kZuFailure;
  data->SetSourceFMRSlide(slide);
  data->SetInsertAt(insertAt);
  data->SetFileToInsert(fileToInsert);
  data->SetFMRAnimationToInsert(animationToInsert);
  return Run(*command);
}

ZuErrorCodeEnum ZuFMREditUtils::FireSplitSWFCommand(ZuSlideBase* slide, const ZuReal& splitAt) {
  auto [command, data] = CreateWithData<ZuFMREditSplitCommandData>(kZuFMREditSplitCommandId);
  if (command == nullptr) return kZuFailure;
  data->SetSourceFMRSlide(slide);
  data->SetSplitAt(splitAt);
  return Run(*command);
}

ZuErrorCodeEnum ZuFMREditUtils::FireMergeSWFCommand(const std::vector<ZuSlideBase*>& slides) {
  auto [command, data] =
      CreateWithData<ZuFMREditMergeSlidesCommandData>(kZuFMREditMergeSlidesCommandId);
  if (command == nullptr) return kZuFailure;
  if (slides.size() < 2) return kZuSuccess;  // nothing to merge
  for (ZuSlideBase* slide : slides) {
    if (!ZuProjectNSlidesUtils::IsFMRSlide(slide, true)) return kZuFailure;
    data->AddSlideToMerge(slide);
  }
  return Run(*command);
}
