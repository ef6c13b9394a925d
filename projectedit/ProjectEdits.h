#pragma once

#include <optional>
#include <string>
#include <vector>

class OpenProjectSession;

// The FMR edits of the slides of an open project, as the command line and the web editor
// offer them. Each checks its numbers, runs one top-level command (one transaction, one
// undoable step) and throws EditError with the one-line reason when it is refused; the
// project is then unchanged. Slides are counted from 1; times are seconds (EditSeconds.h).
// Progress goes where EditProgress.h says.

struct EditOptions {
  int slide = 0;
  double start = 0.0;
  double length = 0.0;
  double at = 0.0;
  std::string movie;
  std::optional<int> resourceOf;
  std::vector<int> slides;
};
// Deletes length seconds from start; returns a note for the user when the engine shortened
// the cut to keep the movie's last frame (else empty).
std::string DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options);
// Inserts options.movie, or the movie of slide options.resourceOf, at options.at.
void InsertIntoSlide(const OpenProjectSession& session, const EditOptions& options);
// Cuts the slide at options.at; a new slide after it shows the second part.
void SplitSlide(const OpenProjectSession& session, const EditOptions& options);
// Appends the movies of options.slides to the first one's; returns what became of the slides
// in words: the first shows the merged movie, the others stay in the project.
std::string MergeSlides(const OpenProjectSession& session, const EditOptions& options);
