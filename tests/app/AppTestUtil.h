#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuProject.h"
#include "tests/support/TempDir.h"

class IZuCommand;
struct sqlite3;
class ZuSlideBase;

// A fresh project file in a folder of its own, made the session's current project, with a
// clean undo history and event log; all closed again after the test.
class ProjectTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  ZuProject& Project() { return *m_project; }
  std::string ProjectPath() const { return m_dir.File("test.fmrproj"); }
  std::string File(const std::string& name) const { return m_dir.File(name); }
  ZuSlideBase* Slide(int index);

  // Writes an FMR movie of frames frames at 10 frames a second (a key frame of rgb, then
  // partial frames) and checks it with the independent parser. Returns its path.
  std::string WriteMovie(const std::string& name, int frames, uint32_t rgb);
  // Runs command 116 at the top level: movie on a new slide after index after, as a new
  // resource named name.
  int32_t AddSlide(const std::string& movie, int after, const std::string& name = "movie.swf");
  // Runs command 441 at the top level: the slide's minimum duration becomes seconds.
  int32_t SetMinimum(ZuSlideBase* slide, double seconds);
  // Closes the project and opens the file (path, or the project's) as the current project;
  // the history starts empty.
  void Reopen(ZuProjectAccess access = ZuProjectAccess::kReadWrite, const std::string& path = "");
  void CloseProject();

  // The current state without the object-id counter (which only must never go back).
  ZuProjectState State() const;

  TempDir m_dir;
  ZuProject* m_project = nullptr;  // owned by the session's project holder
};

// A project file opened with SQLite itself, to look at or change what the store wrote.
class RawFile {
 public:
  explicit RawFile(const std::string& path);
  ~RawFile();
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  // Runs statements; the test fails when they fail.
  void Execute(const std::string& sql);
  // Runs one statement, bytes bound to its parameter when given: the first column of the
  // first row as a number, -1 for no row.
  int64_t Number(const std::string& sql, const std::vector<uint8_t>& bytes = {});

 private:
  sqlite3* m_db = nullptr;
};

// Readable failure messages for project states.
void PrintTo(const ZuProjectState& state, std::ostream* out);

// The command's data as D (the test fails on a null result).
template <class D>
D* DataOf(IZuCommand* command);

#include "host/app/IZuCommand.h"

template <class D>
D* DataOf(IZuCommand* command) {
  D* data = command != nullptr ? dynamic_cast<D*>(command->GetCommandData()) : nullptr;
  EXPECT_NE(data, nullptr);
  return data;
}
