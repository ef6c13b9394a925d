#pragma once

#include <exception>
#include <functional>

#include "commands/ZuFMREditCommandBackupData.h"
#include "host/app/ZuCCommand.h"

class ZuSlideBase;
class ZuTavoFile;

// An edit that rewrites the movie an FMR slide shows, as one undoable command: Execute loads
// the movie, hands it to the rewrite, writes the result to a temporary file and replaces the
// slide's resource with it; every slide showing the movie gets the new duration. Undo and Redo
// put the movie and the durations back as they were before, or after, the rewrite.
//
// The rewrite changes the movie in place; it refuses by throwing EditError, and the command
// then fails and keeps the refusal for its caller (Refusal); anything else it throws is a
// plain failure. A clone, as the undo
// history keeps, undoes and redoes; it never runs the rewrite again.
class MovieRewriteCommand : public ZuCCommand {
 public:
  using Rewrite = std::function<void(ZuTavoFile&)>;

  // name: the command's name, which labels it in the project's history.
  MovieRewriteCommand(const char* name, ZuSlideBase* slide, Rewrite rewrite);

  IZuCommand* Clone() const override;
  ZuErrorCodeEnum Execute() override;
  ZuErrorCodeEnum Undo() override;
  ZuErrorCodeEnum Redo() override;
  void RedoNotify() override {}

  // The EditError the rewrite threw when Execute ran it; null when it threw none.
  std::exception_ptr Refusal() const { return m_refusal; }

 private:
  MovieRewriteCommand(const MovieRewriteCommand& other);

  ZuErrorCodeEnum Rewritten();

  ZuSlideBase* m_slide;  // the project's
  Rewrite m_rewrite;
  ZuFMREditCommandBackupData m_backup;
  std::exception_ptr m_refusal;
};

class OpenProjectSession;

// Runs rewrite on the movie of slide number (from 1) as one top-level command (one
// transaction, one undoable step labelled commandName; what: the failure's words); returns
// the slide's new duration in seconds. A refusal of the rewrite is thrown as it was made.
double RewriteSlideMovie(const OpenProjectSession& session, int number, const char* commandName,
                         const char* what, const MovieRewriteCommand::Rewrite& rewrite);
