#include "host/util/ZuStreamUtil.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/util/ZuMemoryStream.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

constexpr uint32_t kHint = 0x3F3F3F3F;

ZuFile FileAt(const std::string& path) {
  return ZuFile(ZuString(std::string_view(path)));
}

TEST(ZuStreamUtilTest, SavesFromTheBeginningAfterPartialReads) {
  TempDir folder;
  const std::vector<uint8_t> content = PatternBytes(3 * 1024 * 1024 + 17);
  const std::string source = folder.File("source.swf");
  WriteFileBytes(source, content);

  std::unique_ptr<IZuStream> fileStream(
      ZuStreamUtil::CreateFileStreamRead(FileAt(source), kZuStreamRead, kHint, kHint));
  ASSERT_TRUE(fileStream);
  ZuMemoryStream memoryStream(ZuSharedBytes::Copy(content));

  IZuStream* const streams[] = {fileStream.get(), &memoryStream};
  for (IZuStream* stream : streams) {
    std::string head(1000, '\0');
    ASSERT_EQ(stream->Read(head.data(), head.size()), head.size());
    const std::string copy = folder.File("copy.swf");
    EXPECT_TRUE(ZuStreamUtil::SaveReadStreamToFile(stream, FileAt(copy)).ok());
    EXPECT_TRUE(ReadFileBytes(copy) == content);
    EXPECT_EQ(stream->GetPosition(), content.size());
  }
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"copy.swf", "source.swf"}));
  ZuMemoryStream empty;
  EXPECT_TRUE(ZuStreamUtil::SaveReadStreamToFile(&empty, FileAt(source)).ok());
  EXPECT_EQ(ReadFileText(source), "");
}

// A source that fails: it hands out some bytes, then reports an error.
class BrokenStream : public ZuMemoryStream {
 public:
  BrokenStream(std::vector<uint8_t> bytes, size_t failAt, bool seekable)
      : ZuMemoryStream(ZuSharedBytes::Copy(bytes)), m_failAt(failAt), m_seekable(seekable) {}

  size_t Read(void* buffer, size_t count) override {
    if (GetPosition() >= m_failAt) {
      m_failed = true;
      return 0;
    }
    return ZuMemoryStream::Read(buffer, std::min<size_t>(count, m_failAt - GetPosition()));
  }
  bool Seek(uint64_t position) override { return m_seekable && ZuMemoryStream::Seek(position); }
  bool HasError() const override { return m_failed; }
  bool MapRemaining(ZuSharedBytes& /*bytes*/) override { return false; }  // reads must fail

 private:
  size_t m_failAt;
  bool m_seekable;
  bool m_failed = false;
};

TEST(ZuStreamUtilTest, FailuresLeaveTheTargetAlone) {
  TempDir folder;
  const std::string target = folder.File("target.swf");
  WriteFileText(target, "previous");
  const std::vector<uint8_t> content = PatternBytes(3 * 1024 * 1024);

  BrokenStream failsMidway(content, 2 * 1024 * 1024 + 5, true);
  EXPECT_FALSE(ZuStreamUtil::SaveReadStreamToFile(&failsMidway, FileAt(target)).ok());
  BrokenStream cannotSeek(content, content.size(), false);
  EXPECT_FALSE(ZuStreamUtil::SaveReadStreamToFile(&cannotSeek, FileAt(target)).ok());
  EXPECT_FALSE(ZuStreamUtil::SaveReadStreamToFile(nullptr, FileAt(target)).ok());
  EXPECT_EQ(ReadFileText(target), "previous");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"target.swf"});
}

}  // namespace
