#include "commands/ZuFMREditCommandBase.h"

#include "commands/ZuFMREditDeleteFramesCommand.h"
#include "commands/ZuFMREditDeleteFramesCommandData.h"
#include "commands/ZuFMREditInsertCommand.h"
#include "commands/ZuFMREditInsertCommandData.h"
#include "commands/ZuFMREditMergeSlidesCommand.h"
#include "commands/ZuFMREditMergeSlidesCommandData.h"
#include "commands/ZuFMREditSplitCommand.h"
#include "commands/ZuFMREditSplitCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuUserEventUtil.h"

template <typename Command, typename Data>
ZuFMREditCommandBase<Command, Data>::ZuFMREditCommandBase(int32_t id, const char* name,
                                                          const char* action, int32_t redoEventCode)
    : ZuCCommand(id), m_data(new Data()), m_action(action), m_redoEventCode(redoEventCode) {
  m_name = ZuString(name);
  m_commandData = m_data;
  m_flags = 0;
}

template <typename Command, typename Data>
ZuFMREditCommandBase<Command, Data>::ZuFMREditCommandBase(const ZuFMREditCommandBase& other)
    : ZuCCommand(other.GetID()),
      m_backup(other.m_backup),
      m_data(static_cast<Data*>(other.m_data->Clone())),
      m_action(other.m_action),
      m_redoEventCode(other.m_redoEventCode) {
  m_name = other.m_name;
  m_commandData = m_data;
  m_flags = other.m_flags;
  m_eventSink = other.m_eventSink;
}

template <typename Command, typename Data>
ZuFMREditCommandBase<Command, Data>::~ZuFMREditCommandBase() {
  delete m_data;
}

template <typename Command, typename Data>
IZuCommand* ZuFMREditCommandBase<Command, Data>::Clone() const {
  return new Command(static_cast<const Command&>(*this));
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::Execute() {
  ZuUserEventUtil::LogUserEvent("FMR Edit", m_action, "");
  Report(5);
  try {
    return Edit();
  } catch (...) {
    Report(100);
    return kZuFailure;
  }
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::Undo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::Redo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
}

template <typename Command, typename Data>
void ZuFMREditCommandBase<Command, Data>::RedoNotify() {
  PostEvent(m_redoEventCode);
}

template <typename Command, typename Data>
void ZuFMREditCommandBase<Command, Data>::Report(int percent) const {
  if (m_data->GetProgressEvent() != nullptr) {
    m_data->GetProgressEvent()->OnProgress(percent);
  }
}

template <typename Command, typename Data>
std::unique_ptr<ZuFMRTavoFile> ZuFMREditCommandBase<Command, Data>::LoadMovie(
    ZuAnimationResource* resource) {
  std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
  auto movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  if (!movie->IsValidFMRSWF()) {
    return nullptr;
  }
  return movie;
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::OpenSlideMovie(
    ZuSlideBase* slide, ZuAnimationResource*& resource, std::unique_ptr<ZuFMRTavoFile>& movie) {
  resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide);
  if (resource == nullptr) {
    return kZuFailure;
  }
  m_data->GenerateINI();
  movie = LoadMovie(resource);
  if (!movie) {
    return kZuErrorNotFMR;
  }
  return ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, slide, m_backup);
}

template <typename Command, typename Data>
void ZuFMREditCommandBase<Command, Data>::SetNewDuration(const ZuFMRTavoFile& movie) {
  m_backup.newDuration = movie.GetDuration().GetValue();
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::ReplaceMovie(ZuAnimationResource* resource,
                                                                  const ZuFile& output) {
  return ZuFMREditUtils::ReplaceMovieOfEverySlide(resource, output, m_backup);
}

template <typename Command, typename Data>
ZuErrorCodeEnum ZuFMREditCommandBase<Command, Data>::FinishWithMovie(ZuAnimationResource* resource,
                                                                     const ZuFile& output) {
  Report(66);
  const ZuErrorCodeEnum replaced = ReplaceMovie(resource, output);
  if (replaced != kZuSuccess) {
    return replaced;
  }
  Report(100);
  return kZuSuccess;
}

// The four commands; the definitions above are compiled here only.
template class ZuFMREditCommandBase<ZuFMREditDeleteFramesCommand, ZuFMREditDeleteFramesCommandData>;
template class ZuFMREditCommandBase<ZuFMREditInsertCommand, ZuFMREditInsertCommandData>;
template class ZuFMREditCommandBase<ZuFMREditSplitCommand, ZuFMREditSplitCommandData>;
template class ZuFMREditCommandBase<ZuFMREditMergeSlidesCommand, ZuFMREditMergeSlidesCommandData>;
