#pragma once

#include <optional>
#include <string>

class OpenProjectSession;

// Adding slides to an open project and setting their minimum duration, as the command line
// and the web editor offer them. Each checks its numbers, runs one top-level command (one
// transaction, one undoable step) and throws EditError with the one-line reason when it is
// refused. Slides are counted from 1; times are seconds (EditSeconds.h).

struct SlideOptions {
  std::string movie;
  std::string name;
  std::optional<int> after;
  std::optional<int> share;
  int slide = 0;
  double minimum = 0.0;
};
// Adds a slide showing options.movie or the movie of slide options.share; returns its number.
int AddSlideToProject(const OpenProjectSession& session, const SlideOptions& options);
void SetSlideMinimum(const OpenProjectSession& session, const SlideOptions& options);
