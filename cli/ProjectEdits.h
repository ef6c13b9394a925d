#pragma once

#include <optional>
#include <string>
#include <vector>

class OpenProjectSession;

// The FMR edits fmredit makes to the slides of an open project: what the project subcommands
// run, and what fmredit serve runs for its page. Each runs one top-level command (one
// transaction, one undoable step) and throws CliError with the one-line reason when it is
// refused; the project is then unchanged. Slides are counted from 1; times are seconds.
// Progress goes where EditProgress.h says.

// project delete / insert / split / merge.
struct EditOptions {
  std::string project;
  int slide = 0;
  double start = 0.0;
  double length = 0.0;
  double at = 0.0;
  std::string movie;
  std::optional<int> resourceOf;
  std::vector<int> slides;
};
void DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options);
void InsertIntoSlide(const OpenProjectSession& session, const EditOptions& options);
void SplitSlide(const OpenProjectSession& session, const EditOptions& options);
void MergeSlides(const OpenProjectSession& session, const EditOptions& options);
