// The parameter records and the backup record: copies and ownership.
#include <gtest/gtest.h>

#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "commands/ZuFMREditCommandData.h"
#include "tests/commands/CommandsTestUtil.h"

namespace {

class NullProgress : public IZuFMREditProgressEvent {
 public:
  void OnProgress(int) override {}
};

// Distinct addresses to store; the records never follow them.
ZuSlideBase* const kSlideA = reinterpret_cast<ZuSlideBase*>(0x1000);
ZuSlideBase* const kSlideB = reinterpret_cast<ZuSlideBase*>(0x2000);

template <class Record>
std::unique_ptr<Record> CloneOf(const Record& record) {
  std::unique_ptr<IZuCommandData> clone(record.Clone());
  auto* typed = dynamic_cast<Record*>(clone.get());
  EXPECT_NE(typed, nullptr);
  if (typed != nullptr) clone.release();
  return std::unique_ptr<Record>(typed);
}

// A copy keeps the parameters and the progress receiver; the output files belong to one run,
// so copies start without them.
TEST(RecordsTest, ClonesKeepTheParametersAndDropTheOutputFiles) {
  NullProgress progress;
  ZuFMREditSplitCommandData split;
  split.SetSourceFMRSlide(kSlideA);
  split.SetSplitAt(2.0);
  split.SetProgressEvent(&progress);
  split.SetNewlyCreatedFile_Part1(ZuFile("a.swf"));
  split.SetNewlyCreatedFile_Part2(ZuFile("b.swf"));
  const auto splitCopy = CloneOf(split);
  ASSERT_NE(splitCopy, nullptr);
  EXPECT_EQ(splitCopy->GetSourceFMRSlide(), kSlideA);
  EXPECT_EQ(splitCopy->GetSplitAt(), 2.0);
  EXPECT_EQ(splitCopy->GetProgressEvent(), &progress);
  EXPECT_TRUE(splitCopy->GetNewlyCreatedFile_Part1().GetPathString().empty());
  EXPECT_TRUE(splitCopy->GetNewlyCreatedFile_Part2().GetPathString().empty());

  ZuFMREditMergeSlidesCommandData merge;
  for (ZuSlideBase* slide : {kSlideB, kSlideA, kSlideA}) merge.AddSlideToMerge(slide);
  merge.SetProgressEvent(&progress);
  merge.SetNewlyCreatedFile(ZuFile("m.swf"));
  const auto mergeCopy = CloneOf(merge);
  ASSERT_NE(mergeCopy, nullptr);
  EXPECT_EQ(mergeCopy->GetSlidesToMerge(), (std::vector<ZuSlideBase*>{kSlideB, kSlideA, kSlideA}));
  EXPECT_EQ(mergeCopy->GetProgressEvent(), &progress);
  EXPECT_TRUE(mergeCopy->GetNewlyCreatedFile().GetPathString().empty());
  merge.ClearSlidesList();
  EXPECT_EQ(mergeCopy->GetSlidesToMerge().size(), 3u);
}

TEST(RecordsTest, BackupCopiesOwnTheirReplaceCommand) {
  ZuCountingCommandCounters counters;
  {
    ZuFMREditCommandBackupData record;
    EXPECT_EQ(record.slideIndex, -1);
    EXPECT_EQ(record.replaceCommand, nullptr);
    record.newDuration = 2.5;
    record.oldDuration = 4.0;
    record.slideIndex = 3;
    record.project = reinterpret_cast<ZuProject*>(0x4000);
    record.affectedSlides = {{3, 4.0}, {5, 4.0}};
    record.replaceCommand = new ZuCountingCommand(&counters);

    ZuFMREditCommandBackupData copy(record);
    EXPECT_EQ(counters.clones, 1);
    EXPECT_NE(copy.replaceCommand, record.replaceCommand);
    EXPECT_NE(copy.replaceCommand, nullptr);
    EXPECT_EQ(copy.newDuration, 2.5);
    EXPECT_EQ(copy.oldDuration, 4.0);
    EXPECT_EQ(copy.slideIndex, 3);
    EXPECT_EQ(copy.project, record.project);
    EXPECT_EQ(copy.affectedSlides, record.affectedSlides);

    copy = copy;  // changes nothing
    EXPECT_EQ(counters.clones, 1);
    EXPECT_EQ(counters.deletes, 0);

    ZuFMREditCommandBackupData empty;
    copy = empty;  // releases the copy's command, takes none
    EXPECT_EQ(copy.replaceCommand, nullptr);
    EXPECT_EQ(counters.deletes, 1);
    EXPECT_EQ(ZuFMREditCommandBackupData(empty).replaceCommand, nullptr);
  }
  EXPECT_EQ(counters.deletes, 2);  // the source's command went with the source
}

}  // namespace
