#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class OpenProjectSession;

// Adding, removing, moving and renaming the slides of an open project and setting their
// minimum duration, as the command line and the web editor offer them. Each checks its
// numbers, runs one top-level command (one transaction, one undoable step) and throws
// EditError with the one-line reason when it is refused. Slides are counted from 1; times are
// seconds (EditSeconds.h). The functions that return text return what happened, in one line,
// for the user.
//
// Slides that share a movie: removing one leaves the movie to the others (a movie no slide
// shows any more leaves the project's state with the last one, and comes back with its
// undo). A slide's name is the name of the movie it shows, so renaming one names the movie:
// every slide sharing it shows the new name, as each shows every edit of it.

struct SlideOptions {
  std::string movie;
  std::string name;
  std::optional<int> after;
  std::optional<int> share;
  int slide = 0;
  int position = 0;  // where a moved slide ends, from 1
  double minimum = 0.0;
};
// Adds a slide showing options.movie or the movie of slide options.share; returns its number.
int AddSlideToProject(const OpenProjectSession& session, const SlideOptions& options);
void SetSlideMinimum(const OpenProjectSession& session, const SlideOptions& options);
std::string RemoveSlide(const OpenProjectSession& session, const SlideOptions& options);
// Moves slide options.slide so that it ends at options.position; the same place is refused.
std::string MoveSlide(const OpenProjectSession& session, const SlideOptions& options);
// Names the slide options.name, as it is: UTF-8 of at most kMaxSlideName bytes, not blank,
// without control characters or '/' (the name becomes a file name when it is downloaded).
std::string RenameSlide(const OpenProjectSession& session, const SlideOptions& options);
constexpr size_t kMaxSlideName = 200;

// "slide 4", "slides 4 and 5", "slides 2, 4 and 5".
std::string NameSlides(const std::vector<int>& numbers);
