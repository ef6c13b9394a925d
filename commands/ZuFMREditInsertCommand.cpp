#include "commands/ZuFMREditInsertCommand.h"

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"

ZuFMREditInsertCommand::ZuFMREditInsertCommand()
    : ZuFMREditCommandBase(kZuFMREditInsertCommandId, "kZuFMREditInsertCommand", "Insert",
                           kRedoEventCode) {}

ZuErrorCodeEnum ZuFMREditInsertCommand::Edit() {
  ZuSlideBase* slide = m_data->GetSourceFMRSlide();
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide);
  if (resource == nullptr) {
    return kZuFailure;
  }
  m_data->GenerateINI();
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  std::unique_ptr<ZuFMRTavoFile> movie = LoadMovie(resource);
  if (!movie) {
    return kZuErrorNotFMR;
  }
  Report(33);
  const ZuErrorCodeEnum backedUp = ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);
  if (backedUp != kZuSuccess) {
    return backedUp;
  }

  // The resource to insert wins over the file; the file form throws when it cannot be read.
  const ZuReal insertAt = m_data->GetInsertAt();
  ZuErrorCodeEnum inserted = kZuFailure;
  if (ZuAnimationResource* other = m_data->GetFMRAnimationToInsert()) {
    std::unique_ptr<IZuStream> otherStream(other->CreateReadStream(0));
    inserted = movie->InsertFMRSWFFile(otherStream.get(), insertAt, output.GetPathString());
  } else {
    inserted = movie->InsertFMRSWFFile(m_data->GetFileToInsert(), insertAt, output.GetPathString());
  }
  if (inserted == kZuErrorFrameLimit || inserted == kZuErrorNotFMR ||
      inserted == kZuErrorDimensionMismatch) {
    return inserted;
  }
  if (inserted != kZuSuccess) {
    return kZuFailure;
  }

  SetNewDuration(*movie);
  movie.reset();
  if (!output.Exists()) {
    return kZuFailure;
  }
  Report(66);
  const ZuErrorCodeEnum replaced = ReplaceMovie(resource, output);
  if (replaced != kZuSuccess) {
    return replaced;
  }
  Report(100);
  return kZuSuccess;
}
