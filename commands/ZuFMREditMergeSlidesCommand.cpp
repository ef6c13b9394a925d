#include "commands/ZuFMREditMergeSlidesCommand.h"

#include <memory>
#include <vector>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuStreamUtil.h"

ZuFMREditMergeSlidesCommand::ZuFMREditMergeSlidesCommand()
    : ZuFMREditCommandBase(kZuFMREditMergeSlidesCommandId, "kZuFMREditMergeSlidesCommand", "Merge",
                           kRedoEventCode) {}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::Edit() {
  const std::vector<ZuSlideBase*>& slides = m_data->GetSlidesToMerge();
  if (slides.empty() || slides.front() == nullptr) {
    return kZuFailure;
  }
  ZuSlideBase* first = slides.front();
  m_data->GenerateINI();
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(first);
  if (resource == nullptr) {
    return kZuFailure;
  }
  std::unique_ptr<ZuFMRTavoFile> movie = LoadMovie(resource);
  if (!movie) {
    return kZuErrorNotFMR;
  }
  ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, first, m_backup);

  std::vector<ZuString> paths;
  Report(25);
  const ZuErrorCodeEnum copied = CopyFollowingMovies(paths);
  if (copied != kZuSuccess) {
    return copied;
  }
  Report(50);

  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  const ZuErrorCodeEnum merged = movie->MergeSWFs(paths, output.GetPathString());
  if (merged != kZuSuccess && merged != kZuErrorFrameLimit) {
    return merged == kZuErrorWrite ? merged : kZuFailure;
  }
  Report(75);

  SetNewDuration(*movie);
  const ZuErrorCodeEnum replaced =
      ZuFMREditUtils::FireReplaceAnimResItem(resource, output, m_backup, 1);
  if (replaced != kZuSuccess) {
    return replaced;
  }
  SetMergedDurations();
  m_data->SetNewlyCreatedFile(output);
  Report(100);
  return merged;
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::CopyFollowingMovies(
    std::vector<ZuString>& paths) const {
  const std::vector<ZuSlideBase*>& slides = m_data->GetSlidesToMerge();
  for (size_t i = 1; i < slides.size(); ++i) {
    if (slides[i] == nullptr) {
      return kZuFailure;
    }
    ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slides[i]);
    if (resource == nullptr) {
      return kZuFailure;
    }
    std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
    const ZuFile copy = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
    if (!copy.DoesFileExist()) {
      return kZuFailure;
    }
    if (!ZuStreamUtil::SaveReadStreamToFile(stream.get(), copy).ok()) {
      return kZuErrorWrite;
    }
    paths.push_back(copy.GetPathString());
  }
  return kZuSuccess;
}

void ZuFMREditMergeSlidesCommand::SetMergedDurations() {
  const ZuDuration merged(ZuReal(m_backup.newDuration), kZuDurationSeconds);
  for (const ZuFMREditCommandBackupData::Entry& entry : m_backup.affectedSlides) {
    ZuSlideBase* slide = ZuFMREditUtils::GetSlide(m_backup.project, entry.first);
    if (slide == nullptr) {
      return;
    }
    if (ZuFMREditUtils::FireModifySlideTimeCommand(slide, merged) == kZuFailure) {
      return;
    }
  }
}
