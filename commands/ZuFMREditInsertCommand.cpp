#include "commands/ZuFMREditInsertCommand.h"

#include <memory>

#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"

ZuFMREditInsertCommand::ZuFMREditInsertCommand()
    : ZuFMREditCommandBase(kZuFMREditInsertCommandId, "kZuFMREditInsertCommand", "Insert",
                           kRedoEventCode) {}

ZuErrorCodeEnum ZuFMREditInsertCommand::Edit() {
  ZuAnimationResource* resource = nullptr;
  std::unique_ptr<ZuFMRTavoFile> movie;
  const ZuErrorCodeEnum opened = OpenSlideMovie(m_data->GetSourceFMRSlide(), resource, movie);
  if (opened != kZuSuccess) {
    return opened;
  }
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  Report(33);

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
      inserted == kZuErrorDimensionMismatch || inserted == kZuErrorWrite) {
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
  return FinishWithMovie(resource, output);
}
