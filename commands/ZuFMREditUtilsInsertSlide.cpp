// Adding an SWF file to a project as a new FMR slide through the host's insert-FMR-slides command.
#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuSWFInfo.h"
#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"

namespace {

// A picture of the movie's first frame, owned by the caller; null when the player fails.
std::unique_ptr<ZuImage> RenderFirstFrame(const ZuFile& swfFile) {
  ZuTavoPlayer player(32);
  if (player.LoadMovie(swfFile.GetPathString(), 0, 1) == 0) return nullptr;
  if (!player.GotoFrameAndPlay(1)) return nullptr;
  if (!player.Stop()) return nullptr;
  return std::unique_ptr<ZuImage>(player.GetCurrentScreenImage());
}

// The slide description handed to the host: the file, its first frame as the thumbnail, shown
// at the movie's own size.
ZuSWFInfo DescribeMovie(const ZuFile& swfFile, const ZuImage& firstFrame, int bitDepth) {
  ZuSWFInfo info;
  info.autoSize = 0;
  info.placement = 0;
  info.imagePixels = firstFrame.GetBuffer();
  info.imageWidth = firstFrame.GetWidth();
  info.imageHeight = firstFrame.GetHeight();
  info.imageBitDepth = bitDepth;
  info.alignment = 3;
  info.swfFile = swfFile;
  info.fitMode = 9;
  return info;
}

}  // namespace

ZuErrorCodeEnum ZuFMREditUtils::FireInsertFMRSlideCommand(ZuProject* project, int slidePosition,
                                                          ZuFile& swfFile,
                                                          const ZuString& resourceName,
                                                          int bitDepth,
                                                          IZuCommand** executedCommand) {
  if (project == nullptr) return kZuFailure;
  const std::unique_ptr<ZuImage> firstFrame = RenderFirstFrame(swfFile);
  if (!firstFrame) return kZuFailure;
  const ZuSWFInfo info = DescribeMovie(swfFile, *firstFrame, bitDepth);

  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
  if (!command) return kZuFailure;
  command->SetUndoability(kZuDrivenByOwner);
  auto* data = dynamic_cast<ZuInsertFMRSlidesCommandData*>(command->GetCommandData());
  if (data == nullptr) return kZuFailure;
  data->SetFMRResourceName(resourceName);
  data->SetProject(project);
  data->SetInsertPosition(slidePosition);
  data->AddFMRSWF(info);
  data->SetMarkSlidesAsFMRSlide(1);
  data->ZuInsertSlidesCommandData::SetMasterSlideOverriden(1);

  const ZuErrorCodeEnum result = ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr);
  if (result == kZuSuccess && executedCommand != nullptr) *executedCommand = command.release();
  return result;
}
