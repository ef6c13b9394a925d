// The parameter dump: the sections the four records append, byte for byte, and its file.
#include <gtest/gtest.h>

#include <string>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditUtils.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "tests/commands/edit_fixture.h"
#include "tests/support/FileBytes.h"

// Reaches the dump's file name and section counter.
class ZuFMREditUtilsTestAccess {
 public:
  static ZuString& Name() { return ZuFMREditUtils::m_iniStreamName; }
  static int& SectionNr() { return ZuFMREditUtils::m_sectionNr; }
};

namespace {

// A project of seven slides, the dump sent to a file of the test's own.
class IniDumpTest : public edit_test::EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    const std::string movie = RecordMovie("movie.swf", 4, 7);
    for (int i = 0; i < 7; ++i) ASSERT_NE(AddSlide(movie, "movie.swf"), nullptr);
    m_savedName = ZuFMREditUtilsTestAccess::Name();
    ZuFMREditUtilsTestAccess::Name() = ZuString(std::string_view(Dump()));
    ZuFMREditUtilsTestAccess::SectionNr() = 0;
  }
  void TearDown() override {
    ZuFMREditUtilsTestAccess::Name() = m_savedName;
    EditProjectTest::TearDown();
  }
  std::string Dump() const { return File("dump.ini"); }
  std::string ProjectLine() const { return "PROJ_NAME=" + ProjectPath() + "\n"; }

  ZuString m_savedName;
};

TEST_F(IniDumpTest, EachRecordWritesItsSection) {
  ZuFMREditDeleteFramesCommandData del;
  del.SetFMRSlide(Slide(3));
  del.SetStartPosition(1.5);
  del.SetDuration(2.0);
  EXPECT_EQ(del.GenerateINI(), kZuSuccess);

  ZuFMREditMergeSlidesCommandData merge;
  for (int index : {4, 5, 6}) merge.AddSlideToMerge(Slide(index));
  EXPECT_EQ(merge.GenerateINI(), kZuSuccess);

  ZuFMREditInsertCommandData ins;  // neither resource nor file: no entries for them
  ins.SetSourceFMRSlide(Slide(0));
  ins.SetInsertAt(1.0 / 3.0);
  EXPECT_EQ(ins.GenerateINI(), kZuSuccess);

  ZuAnimationResource* resource = Slide(1)->GetAnimation();
  ASSERT_NE(resource, nullptr);
  ins.SetFMRAnimationToInsert(resource);
  ins.SetFileToInsert("/tmp/Präsentation.swf");
  ins.SetInsertAt(1234567.0);
  EXPECT_EQ(ins.GenerateINI(), kZuSuccess);

  ZuFMREditSplitCommandData split;  // no slide: no SLIDE_NR
  split.SetSplitAt(12345678.9);
  EXPECT_EQ(split.GenerateINI(), kZuSuccess);

  const auto section = [&](int n, const char* action) {
    return "[SECTION" + std::to_string(n) + "]\nACTION=" + action + "\n" + ProjectLine();
  };
  const std::string expected =
      section(0, "DEL_FRAMES") + "SLIDE_NR=3\nSTART_POS=1.5\nDURATION=2\n" +
      section(1, "MERGE_SWF") + "SLIDE_NR=4\nSLIDE_NR1=4\nSLIDE_NR2=5\nSLIDE_NR3=6\n" +
      section(2, "INSERT_SWF") + "SLIDE_NR=0\nSTART_POS=0.333333\n" + section(3, "INSERT_SWF") +
      "SLIDE_NR=0\nSTART_POS=1.23457e+06\nANIMITEM_UID=" +
      std::to_string(resource->GetObjectUID()) + "\nFILETO_INSERT=/tmp/Pr\xC3\xA4sentation.swf\n" +
      section(4, "SPLIT_SWF") + "SPLIT_AT=1.23457e+07\n";
  EXPECT_EQ(ReadFileText(Dump()), expected);
}

}  // namespace
