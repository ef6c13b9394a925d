#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/IZuFMREditProgressEvent.h"
#include "tests/app/AppTestUtil.h"
#include "tests/support/RecordedMovie.h"

class ZuSlideBase;

namespace edit_test {

// The progress values a command reported, in order.
class ProgressLog : public IZuFMREditProgressEvent {
 public:
  void OnProgress(int percent) override { values.push_back(percent); }
  std::vector<int> values;
};

// The app tests' project (ProjectTest) with the FMR edit commands registered and the edits'
// temporary movies going to the test's folder; movies are recorded with the recorder there.
class EditProjectTest : public ProjectTest {
 public:
  void SetUp() override;
  void TearDown() override;

  // Records frames moving pictures of width x height at 10 frames a second into an FMR movie
  // file, checked by the independent parser. Returns its path.
  std::string RecordMovie(const std::string& name, int frames, uint32_t seed, int width = 32,
                          int height = 24);
  // A new last slide showing the movie file as a new resource named name (command 116).
  ZuSlideBase* AddSlide(const std::string& movie, const std::string& name);
  // A new last slide showing the resource that slide shows.
  ZuSlideBase* AddSharedSlide(ZuSlideBase* slide);
  // Every frame of the movie the slide shows now, as the player shows them; the stored
  // movie is checked by the independent parser.
  Pictures ShownBy(ZuSlideBase* slide);

 private:
  int m_exports = 0;
  std::optional<ZuTemporaryFolder::Use> m_useFolder;  // while the test runs
};

}  // namespace edit_test
