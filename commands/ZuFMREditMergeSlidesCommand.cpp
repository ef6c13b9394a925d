#include "commands/ZuFMREditMergeSlidesCommand.h"

#include <memory>
#include <vector>

#include "commands/ZuFMREditMergeSlidesCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuStreamUtil.h"
#include "host/util/ZuUserEventUtil.h"

ZuFMREditMergeSlidesCommand::ZuFMREditMergeSlidesCommand()
    : ZuCCommand(901), m_data(new ZuFMREditMergeSlidesCommandData()) {
  m_name = ZuString("kZuFMREditMergeSlidesCommand");
  m_commandData = m_data;
  m_flags = 0;
  m_eventSink = QuerySession()->GetCommandEventSink(0);
}

ZuFMREditMergeSlidesCommand::~ZuFMREditMergeSlidesCommand() {
  delete m_data;
}

IZuCommand* ZuFMREditMergeSlidesCommand::Clone() const {
  auto* copy = new ZuFMREditMergeSlidesCommand();
  delete copy->m_data;
  copy->m_data = static_cast<ZuFMREditMergeSlidesCommandData*>(m_data->Clone());
  copy->m_commandData = copy->m_data;
  copy->m_name = m_name;
  copy->m_flags = m_flags;
  copy->m_eventSink = m_eventSink;
  copy->m_backup = m_backup;
  return copy;
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::Execute() {
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Merge", "");
  Report(5);
  const std::vector<ZuSlideBase*>& slides = m_data->GetSlidesToMerge();
  if (slides.empty() || slides.front() == nullptr) return kZuFailure;
  try {
    return MergeMovies(slides.front());
  } catch (...) {
    Report(100);
    return kZuFailure;
  }
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::MergeMovies(ZuSlideBase* first) {
  m_data->GenerateINI();
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(first);
  if (resource == nullptr) return kZuFailure;
  std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
  auto movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  if (!movie->IsValidFMRSWF()) return kZuErrorNotFMR;
  ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, first, m_backup);

  std::vector<ZuString> paths;
  Report(25);
  const ZuErrorCodeEnum copied = CopyFollowingMovies(paths);
  if (copied != kZuSuccess) return copied;
  Report(50);

  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  const ZuErrorCodeEnum merged = movie->MergeSWFs(paths, output.GetPathString());
  if (merged != kZuSuccess && merged != kZuErrorFrameLimit) return kZuFailure;
  Report(75);

  m_backup.newDuration =
      static_cast<double>(movie->GetFrameCount()) / static_cast<double>(movie->GetFrameRate());
  const ZuErrorCodeEnum replaced =
      ZuFMREditUtils::FireReplaceAnimResItem(resource, output, m_backup, 1);
  if (replaced != kZuSuccess) return replaced;
  SetMergedDurations();
  m_data->SetNewlyCreatedFile(output);
  Report(100);
  return merged;
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::CopyFollowingMovies(
    std::vector<ZuString>& paths) const {
  const std::vector<ZuSlideBase*>& slides = m_data->GetSlidesToMerge();
  for (size_t i = 1; i < slides.size(); ++i) {
    if (slides[i] == nullptr) return kZuFailure;
    ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slides[i]);
    if (resource == nullptr) return kZuFailure;
    std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
    const ZuFile copy = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
    if (!copy.DoesFileExist()) return kZuFailure;
    const ZuErrorCodeEnum saved = ZuStreamUtil::SaveReadStreamToFile(stream.get(), copy);
    if (saved != kZuSuccess) return saved;
    paths.push_back(copy.GetPathString());
  }
  return kZuSuccess;
}

void ZuFMREditMergeSlidesCommand::SetMergedDurations() {
  const ZuDuration merged(ZuReal(m_backup.newDuration), kZuDurationSeconds);
  for (const ZuFMREditCommandBackupData::Entry& entry : m_backup.affectedSlides) {
    ZuSlideBase* slide = ZuFMREditUtils::GetSlide(m_backup.project, entry.first);
    if (slide == nullptr) return;
    if (ZuFMREditUtils::FireModifySlideTimeCommand(slide, merged) == kZuFailure) return;
  }
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::Undo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

ZuErrorCodeEnum ZuFMREditMergeSlidesCommand::Redo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
}

void ZuFMREditMergeSlidesCommand::RedoNotify() {
  PostEvent(kRedoEventCode);
}

void ZuFMREditMergeSlidesCommand::Report(int percent) const {
  if (m_data->GetProgressEvent() != nullptr) m_data->GetProgressEvent()->OnProgress(percent);
}
