// Backup before an edit, handing the edited movie to the host, slide durations, undo and redo.
#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuModifySlideDurationCommandData.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuReplaceResourceCommandData.h"
#include "host/app/ZuResourceItemUtils.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "host/app/ZuSlideTimingUtils.h"
#include "host/util/ZuFileUtil.h"

namespace {

// A minimum that passes the requested duration by no more than this is taken as equal.
constexpr double kMinimumDurationTolerance = 0.00001;

// The FMR animation resource of a slide-like item, or null.
ZuAnimationResource* FMRAnimationOf(ZuTavoCollectionItem* item) {
  auto* resource = dynamic_cast<ZuAnimationResource*>(ZuResourceItemUtils::GetResourceItem(item));
  if (resource == nullptr || resource->GetResourceFMRSwf(nullptr) != 1) {
    return nullptr;
  }
  return resource;
}

}  // namespace

ZuSlideBase* ZuFMREditUtils::GetSlide(ZuProject* project, int index) {
  if (project == nullptr || index == -1) {
    return nullptr;
  }
  ZuSlideCollection* slides = project->GetSlideCollection();
  if (slides == nullptr) {
    return nullptr;
  }
  return slides->GetNthElement(index);
}

ZuAnimationResource* ZuFMREditUtils::GetAnimationResourceFromFMRSlide(ZuSlideBase* slide) {
  if (slide == nullptr) {
    return nullptr;
  }
  return FMRAnimationOf(slide);
}

ZuErrorCodeEnum ZuFMREditUtils::FireModifySlideTimeCommand(ZuSlideBase* slide,
                                                           const ZuDuration& duration) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdModifySlideDuration));
  if (!command) {
    return kZuFailure;
  }
  command->SetUndoability(kZuDrivenByOwner);
  auto* data = dynamic_cast<ZuModifySlideDurationCommandData*>(command->GetCommandData());
  if (data == nullptr) {
    return kZuFailure;
  }
  const double minimum = ZuSlideTimingUtils::GetMinimumSlideDurationRequired(slide, 0).GetTime();
  const double requested = duration.GetTime();
  const double chosen = minimum > requested + kMinimumDurationTolerance ? minimum : requested;
  data->SetDuration(ZuDuration(ZuReal(chosen), kZuDurationSeconds));
  data->AddSlide(slide);
  data->SetDoConstraintChecking(true);
  return ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr);
}

ZuErrorCodeEnum ZuFMREditUtils::FireModifySlideTimeCommand(ZuFMREditCommandBackupData& record,
                                                           bool useBackup) {
  ZuErrorCodeEnum result = kZuSuccess;
  for (const ZuFMREditCommandBackupData::Entry& entry : record.affectedSlides) {
    ZuSlideBase* slide = GetSlide(record.project, entry.first);
    if (slide == nullptr) {
      return kZuFailure;
    }
    const double seconds = useBackup ? entry.second : record.newDuration;
    result = FireModifySlideTimeCommand(slide, ZuDuration(ZuReal(seconds), kZuDurationSeconds));
    if (result == kZuFailure) {
      return kZuFailure;
    }
  }
  return result;
}

ZuString ZuFMREditUtils::GetNewNameForAnimation(ZuAnimationResource* resource, int number) {
  if (resource == nullptr) {
    return ZuString();
  }
  ZuString name = ZuFileUtil::GetBaseFileName(resource->GetResourceName(nullptr));
  name += "_";
  name.AppendNumber(number);
  name += ".swf";
  return name;
}

ZuErrorCodeEnum ZuFMREditUtils::FireReplaceAnimResItem(ZuAnimationResource* resource,
                                                       const ZuFile& newSwf,
                                                       ZuFMREditCommandBackupData& record,
                                                       int number) {
  if (resource == nullptr) {
    return kZuFailure;
  }
  delete record.replaceCommand;  // a record keeps only the latest replacement
  record.replaceCommand = ZuCmdUtils::CreateCommand(kZuCmdReplaceResource);
  IZuCommand* command = record.replaceCommand;
  if (command == nullptr) {
    return kZuFailure;
  }
  command->SetUndoability(kZuDrivenByOwner);
  auto* data = dynamic_cast<ZuReplaceResourceCommandData*>(command->GetCommandData());
  if (data == nullptr) {
    return kZuFailure;
  }
  data->SetSourceResource(resource);
  data->SetDestinationImageFile(newSwf);
  data->SetDestinationResourceName(GetNewNameForAnimation(resource, number));
  data->SetFMRSWF(1);
  data->SetUpdateSlideTiming(0);  // the durations are set from the record instead
  return ZuCmdUtils::ExecuteCommand(command, 1, 0, nullptr);
}

ZuErrorCodeEnum ZuFMREditUtils::ReplaceMovieOfEverySlide(ZuAnimationResource* resource,
                                                         const ZuFile& newSwf,
                                                         ZuFMREditCommandBackupData& record) {
  const ZuErrorCodeEnum replaced = FireReplaceAnimResItem(resource, newSwf, record, 1);
  if (replaced != kZuSuccess) {
    return replaced;
  }
  FireModifySlideTimeCommand(record, false);
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditUtils::BackupFMRSWFBeforeEdit(ZuFMRTavoFile& movie, ZuSlideBase* slide,
                                                       ZuFMREditCommandBackupData& record) {
  if (slide == nullptr) {
    return kZuFailure;
  }
  record.oldDuration = movie.GetDuration().GetValue();
  record.slideIndex = slide->GetIndex();
  record.project = slide->GetProject();
  ZuAnimationResource* resource = FMRAnimationOf(slide);
  if (resource == nullptr) {
    return kZuSuccess;
  }
  const int32_t users = resource->GetUserCount();
  for (int32_t i = 0; i < users; ++i) {
    auto* user = dynamic_cast<ZuSlideBase*>(resource->GetUser(i));
    if (user != nullptr) {
      record.affectedSlides.emplace_back(user->GetIndex(), movie.GetDuration().GetValue());
    }
  }
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(
    ZuFMREditCommandBackupData& record) {
  if (GetSlide(record.project, record.slideIndex) == nullptr) {
    return kZuFailure;
  }
  if (record.replaceCommand != nullptr) {
    UndoCommand(record.replaceCommand);
  }
  return FireModifySlideTimeCommand(record, true);
}

ZuErrorCodeEnum ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(
    ZuFMREditCommandBackupData& record) {
  if (GetSlide(record.project, record.slideIndex) == nullptr) {
    return kZuFailure;
  }
  if (record.replaceCommand != nullptr) {
    RedoCommand(record.replaceCommand);
  }
  return FireModifySlideTimeCommand(record, false);
}

ZuErrorCodeEnum ZuFMREditUtils::UndoCommand(IZuCommand* command) {
  if (command == nullptr) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum result = command->Undo();
  if (result == kZuSuccess) {
    command->UndoNotify();
  }
  return result;
}

ZuErrorCodeEnum ZuFMREditUtils::RedoCommand(IZuCommand* command) {
  if (command == nullptr) {
    return kZuFailure;
  }
  const ZuErrorCodeEnum result = command->Redo();
  if (result == kZuSuccess) {
    command->RedoNotify();
  }
  return result;
}
