#include "projectedit/MovieRewriteCommand.h"

#include <memory>
#include <string>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFileUtil.h"
#include "projectedit/EditError.h"
#include "projectedit/EditProgress.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlideAccess.h"

namespace {

// The id the command runs under; it is made directly, never through the registry.
constexpr int32_t kMovieRewriteCommandId = 950;

}  // namespace

MovieRewriteCommand::MovieRewriteCommand(const char* name, ZuSlideBase* slide, Rewrite rewrite)
    : ZuCCommand(kMovieRewriteCommandId), m_slide(slide), m_rewrite(std::move(rewrite)) {
  m_name = ZuString(name);
}

MovieRewriteCommand::MovieRewriteCommand(const MovieRewriteCommand& other)
    : ZuCCommand(other.GetID()), m_slide(other.m_slide), m_backup(other.m_backup) {
  m_name = other.m_name;
  m_eventSink = other.m_eventSink;
}

IZuCommand* MovieRewriteCommand::Clone() const {
  return new MovieRewriteCommand(*this);
}

ZuErrorCodeEnum MovieRewriteCommand::Execute() {
  try {
    return Rewritten();
  } catch (const EditError&) {
    m_refusal = std::current_exception();
  } catch (...) {
  }
  return kZuFailure;
}

ZuErrorCodeEnum MovieRewriteCommand::Rewritten() {
  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(m_slide);
  if (resource == nullptr || !m_rewrite) {
    return kZuFailure;
  }
  std::unique_ptr<ZuFMRTavoFile> movie;
  {
    std::unique_ptr<IZuStream> stream(resource->CreateReadStream(0));
    movie = std::make_unique<ZuFMRTavoFile>(stream.get());
  }
  if (!movie->IsValidFMRSWF()) {
    return kZuErrorNotFMR;
  }
  const ZuErrorCodeEnum backedUp =
      ZuFMREditUtils::BackupFMRSWFBeforeEdit(*movie, m_slide, m_backup);
  if (backedUp != kZuSuccess) {
    return backedUp;
  }
  m_rewrite(*movie);
  const ZuFile output = ZuFileUtil::GetUniqueTemporaryFile(".SWF");
  const std::string path = output.GetNativePath();
  if (path.empty() || !movie->SaveToFile(path).ok()) {
    return kZuErrorWrite;
  }
  m_backup.newDuration = movie->GetDuration().GetValue();
  movie.reset();
  return ZuFMREditUtils::ReplaceMovieOfEverySlide(resource, output, m_backup);
}

ZuErrorCodeEnum MovieRewriteCommand::Undo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(m_backup);
}

ZuErrorCodeEnum MovieRewriteCommand::Redo() {
  return ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(m_backup);
}

double RewriteSlideMovie(const OpenProjectSession& session, int number, const char* commandName,
                         const char* what, const MovieRewriteCommand::Rewrite& rewrite) {
  LoadEditCommands();
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, number, "--slide");
  MovieRewriteCommand command(commandName, slide, rewrite);
  try {
    session.Execute(command, what);
  } catch (const EditError&) {
    if (command.Refusal()) {
      std::rethrow_exception(command.Refusal());
    }
    throw;
  }
  return slide->GetDuration().GetTime().GetValue();
}
