// The parameter records and the backup record: defaults, copies and ownership.
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
ZuAnimationResource* const kResource = reinterpret_cast<ZuAnimationResource*>(0x3000);

template <class Record>
std::unique_ptr<Record> CloneOf(const Record& record) {
  std::unique_ptr<IZuCommandData> clone(record.Clone());
  auto* typed = dynamic_cast<Record*>(clone.get());
  EXPECT_NE(typed, nullptr);
  if (typed != nullptr) clone.release();
  return std::unique_ptr<Record>(typed);
}

TEST(RecordsTest, DefaultsAreEmpty) {
  ZuFMREditDeleteFramesCommandData del;
  ZuFMREditInsertCommandData ins;
  ZuFMREditSplitCommandData split;
  ZuFMREditMergeSlidesCommandData merge;
  EXPECT_EQ(del.GetFMRSlide(), nullptr);
  EXPECT_EQ(del.GetStartPosition(), 0.0);
  EXPECT_EQ(del.GetDuration(), 0.0);
  EXPECT_EQ(del.GetProgressEvent(), nullptr);
  EXPECT_EQ(ins.GetSourceFMRSlide(), nullptr);
  EXPECT_EQ(ins.GetInsertAt(), 0.0);
  EXPECT_EQ(ins.GetFMRAnimationToInsert(), nullptr);
  EXPECT_TRUE(ins.GetFileToInsert().empty());
  EXPECT_EQ(ins.GetProgressEvent(), nullptr);
  EXPECT_EQ(split.GetSourceFMRSlide(), nullptr);
  EXPECT_EQ(split.GetSplitAt(), 0.0);
  EXPECT_TRUE(split.GetNewlyCreatedFile_Part1().GetPathString().empty());
  EXPECT_TRUE(split.GetNewlyCreatedFile_Part2().GetPathString().empty());
  EXPECT_EQ(split.GetProgressEvent(), nullptr);
  EXPECT_TRUE(merge.GetSlidesToMerge().empty());
  EXPECT_TRUE(merge.GetNewlyCreatedFile().GetPathString().empty());
  EXPECT_EQ(merge.GetProgressEvent(), nullptr);
}

TEST(RecordsTest, ClonesKeepTheParametersAndDropTheOutputFiles) {
  NullProgress progress;
  ZuFMREditDeleteFramesCommandData del;
  EXPECT_EQ(del.SetFMRSlide(kSlideA), kZuSuccess);
  EXPECT_EQ(del.SetStartPosition(1.25), kZuSuccess);
  EXPECT_EQ(del.SetDuration(0.1), kZuSuccess);
  EXPECT_EQ(del.SetProgressEvent(&progress), kZuSuccess);
  const auto delCopy = CloneOf(del);
  ASSERT_NE(delCopy, nullptr);
  EXPECT_EQ(delCopy->GetFMRSlide(), kSlideA);
  EXPECT_EQ(delCopy->GetStartPosition(), 1.25);
  EXPECT_EQ(delCopy->GetDuration(), 0.1);
  EXPECT_EQ(delCopy->GetProgressEvent(), &progress);

  ZuFMREditInsertCommandData ins;
  EXPECT_EQ(ins.SetSourceFMRSlide(kSlideB), kZuSuccess);
  EXPECT_EQ(ins.SetInsertAt(3.5), kZuSuccess);
  EXPECT_EQ(ins.SetFMRAnimationToInsert(kResource), kZuSuccess);
  EXPECT_EQ(ins.SetFileToInsert("/tmp/ä.swf"), kZuSuccess);
  EXPECT_EQ(ins.SetProgressEvent(&progress), kZuSuccess);
  const auto insCopy = CloneOf(ins);
  ASSERT_NE(insCopy, nullptr);
  EXPECT_EQ(insCopy->GetSourceFMRSlide(), kSlideB);
  EXPECT_EQ(insCopy->GetInsertAt(), 3.5);
  EXPECT_EQ(insCopy->GetFMRAnimationToInsert(), kResource);
  EXPECT_EQ(insCopy->GetFileToInsert(), ZuString("/tmp/ä.swf"));
  EXPECT_EQ(insCopy->GetProgressEvent(), &progress);

  ZuFMREditSplitCommandData split;
  split.SetSourceFMRSlide(kSlideA);
  split.SetSplitAt(2.0);
  split.SetProgressEvent(&progress);
  EXPECT_EQ(split.SetNewlyCreatedFile_Part1(ZuFile("a.swf")), kZuSuccess);
  EXPECT_EQ(split.SetNewlyCreatedFile_Part2(ZuFile("b.swf")), kZuSuccess);
  EXPECT_EQ(split.GetNewlyCreatedFile_Part2().GetPathString(), ZuString("b.swf"));
  const auto splitCopy = CloneOf(split);
  ASSERT_NE(splitCopy, nullptr);
  EXPECT_EQ(splitCopy->GetSourceFMRSlide(), kSlideA);
  EXPECT_EQ(splitCopy->GetSplitAt(), 2.0);
  EXPECT_EQ(splitCopy->GetProgressEvent(), &progress);
  EXPECT_TRUE(splitCopy->GetNewlyCreatedFile_Part1().GetPathString().empty());
  EXPECT_TRUE(splitCopy->GetNewlyCreatedFile_Part2().GetPathString().empty());

  ZuFMREditMergeSlidesCommandData merge;
  for (ZuSlideBase* slide : {kSlideB, kSlideA, kSlideA}) {
    EXPECT_EQ(merge.AddSlideToMerge(slide), kZuSuccess);
  }
  merge.SetProgressEvent(&progress);
  EXPECT_EQ(merge.SetNewlyCreatedFile(ZuFile("m.swf")), kZuSuccess);
  const auto mergeCopy = CloneOf(merge);
  ASSERT_NE(mergeCopy, nullptr);
  EXPECT_EQ(mergeCopy->GetSlidesToMerge(), (std::vector<ZuSlideBase*>{kSlideB, kSlideA, kSlideA}));
  EXPECT_EQ(mergeCopy->GetProgressEvent(), &progress);
  EXPECT_TRUE(mergeCopy->GetNewlyCreatedFile().GetPathString().empty());
  merge.ClearSlidesList();
  EXPECT_TRUE(merge.GetSlidesToMerge().empty());
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
