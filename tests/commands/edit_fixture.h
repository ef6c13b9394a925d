#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/IZuFMREditProgressEvent.h"
#include "host/app/ZuProject.h"
#include "host/image/ZuImage.h"
#include "tests/support/TempDir.h"

class IZuCommand;
class ZuAnimationResource;
class ZuSlideBase;

namespace edit_test {

using Pictures = std::vector<ZuImage>;

// The progress values a command reported, in order.
class ProgressLog : public IZuFMREditProgressEvent {
 public:
  void OnProgress(int percent) override { values.push_back(percent); }
  std::vector<int> values;
};

// The pictures of frames first to last (counted from 1), and pictures joined in order.
Pictures FramesOf(const Pictures& shown, int first, int last);
Pictures Concat(std::initializer_list<Pictures> parts);
// Fails the test at the first frame whose picture differs.
void ExpectSamePictures(const Pictures& shown, const Pictures& expected);

// A fresh project made the session's current project, with the FMR edit commands registered
// and a clean undo history; movies are recorded with the recorder into the test's folder.
class EditProjectTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  ZuProject& Project() { return *m_project; }
  std::string File(const std::string& name) const { return m_dir.File(name); }
  // Records frames moving pictures of width x height at 10 frames a second into an FMR movie
  // file, checked by the independent parser. Returns its path.
  std::string RecordMovie(const std::string& name, int frames, uint32_t seed, int width = 32,
                          int height = 24);
  // A new last slide showing the movie file as a new resource named name (command 116).
  ZuSlideBase* AddSlide(const std::string& movie, const std::string& name);
  // A new last slide showing the resource that slide shows.
  ZuSlideBase* AddSharedSlide(ZuSlideBase* slide);
  ZuSlideBase* Slide(int index);
  // Every frame of the movie the slide shows now, as the player shows them; the stored
  // movie is checked by the independent parser.
  Pictures ShownBy(ZuSlideBase* slide);
  // The project without the object-id counter.
  ZuProjectState State() const;
  void Reopen();

 private:
  void CloseProject();

  TempDir m_dir;
  ZuProject* m_project = nullptr;  // owned by the session's project holder
  int m_exports = 0;
  std::optional<ZuTemporaryFolder::Use> m_useFolder;  // while the test runs
};

}  // namespace edit_test
