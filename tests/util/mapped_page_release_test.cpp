// Handing back the pages of mapped files: a walk keeps only a few megabytes resident, the
// bytes read the same afterwards, and memory that is not a file mapping is never touched.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "host/util/ZuFileStream.h"
#include "host/util/ZuMappedFile.h"
#include "host/util/ZuMappedPageReleaser.h"
#include "tests/support/Residency.h"
#include "tests/util/UtilTestFiles.h"

namespace {

constexpr size_t kFileSize = size_t{48} << 20;
constexpr size_t kStep = 4096;
// The releaser's batch, the part near the walk it keeps, and what the system maps around a
// faulting page (up to 2 MiB for large folios).
constexpr size_t kMostResident = size_t{10} << 20;

// Walks the bytes forward step bytes at a time, reading one byte at each stop; returns
// their sum and the most the mapping had resident on the way. The releaser hears of each
// stop before or after the byte there is read.
struct Walk {
  uint64_t sum = 0;
  size_t mostResident = 0;
};
enum class Tell { kNever, kAfterReading, kBeforeReading };
Walk WalkForward(const ZuSharedBytes& bytes, Tell tell, size_t step = kStep) {
  Walk walk;
  ZuMappedPageReleaser pages;
  size_t nextLook = 0;  // residency is looked at every megabyte
  for (size_t at = 0; at < bytes.size(); at += step) {
    if (tell == Tell::kBeforeReading) pages.Passed(bytes, at);
    walk.sum += bytes[at];
    if (tell == Tell::kAfterReading) pages.Passed(bytes, at);
    if (at >= nextLook) {
      walk.mostResident = std::max(walk.mostResident, ResidentBytesOf(bytes.data()));
      nextLook += size_t{1} << 20;
    }
  }
  return walk;
}

class MappedPageRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    m_content = PatternBytes(kFileSize);
    // One large write, as the recorder's and the engine's files are written: the system's
    // file cache may then hold the file in large units, which map 2 MiB at a time.
    std::FILE* file = std::fopen(m_dir.File("movie.bin").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::setvbuf(file, nullptr, _IONBF, 0);
    ASSERT_EQ(std::fwrite(m_content.data(), 1, m_content.size(), file), m_content.size());
    std::fclose(file);
    std::string error;
    ASSERT_TRUE(ZuMappedFile::Map(m_dir.File("movie.bin"), m_bytes, &error)) << error;
  }
  uint64_t ExpectedSum(size_t step) const {
    uint64_t sum = 0;
    for (size_t at = 0; at < kFileSize; at += step) sum += uint8_t(m_content[at]);
    return sum;
  }
  TempDir m_dir;
  std::string m_content;
  ZuSharedBytes m_bytes;
};

TEST_F(MappedPageRelease, AWalkKeepsOnlyABatchResidentAndReadsTheSameBytes) {
  ASSERT_TRUE(m_bytes.IsMapped());
  // Reading just after telling is what loading does (a tag reads the start of its body):
  // pages mapped back around that byte must not stay for good. Large steps are a movie
  // of large tags.
  for (const Tell tell : {Tell::kAfterReading, Tell::kBeforeReading}) {
    for (const size_t step : {kStep, (size_t{1} << 20) + 3 * kStep}) {
      SCOPED_TRACE(std::to_string(step) + (tell == Tell::kAfterReading ? " after" : " before"));
      const Walk released = WalkForward(m_bytes, tell, step);
      EXPECT_EQ(released.sum, ExpectedSum(step));
      EXPECT_LE(released.mostResident, kMostResident);
      EXPECT_LE(ResidentBytesOf(m_bytes.data()), kMostResident);
    }
  }

  // Pages handed back come back unchanged, and without the releaser the walk holds the
  // whole file: the measurement itself sees residency.
  const Walk kept = WalkForward(m_bytes, Tell::kNever);
  EXPECT_EQ(kept.sum, ExpectedSum(kStep));
  EXPECT_GE(ResidentBytesOf(m_bytes.data()), kFileSize - kMostResident);
  EXPECT_EQ(std::memcmp(m_bytes.data(), m_content.data(), kFileSize), 0);
}

TEST_F(MappedPageRelease, SlicesStayMappedAndWalksMayJumpBackOrChangeStorage) {
  const ZuSharedBytes tail = m_bytes.Slice(kFileSize / 2, kFileSize);
  EXPECT_TRUE(tail.IsMapped());
  EXPECT_FALSE(ZuSharedBytes::Copy(tail.span().first(16)).IsMapped());
  {
    ZuMappedPageReleaser pages;
    pages.PassedEnd(tail);                                           // the second half
    pages.Passed(m_bytes, 0);                                        // back to the start
    pages.PassedEnd(ZuSharedBytes::Copy(m_bytes.span().first(64)));  // other storage
    pages.PassedEnd(m_bytes);
  }
  EXPECT_EQ(std::memcmp(m_bytes.data(), m_content.data(), kFileSize), 0);
}

TEST(MappedPageReleaseOfMemory, BytesInOrdinaryMemoryAreNeverHandedBack) {
  // Handing back anonymous memory would zero it; the walk must leave it as it is.
  const std::string content = PatternBytes(kFileSize);
  const ZuSharedBytes bytes =
      ZuSharedBytes::Copy(reinterpret_cast<const uint8_t*>(content.data()), content.size());
  ASSERT_FALSE(bytes.IsMapped());
  WalkForward(bytes, Tell::kAfterReading);
  EXPECT_EQ(std::memcmp(bytes.data(), content.data(), content.size()), 0);
}

TEST(MappedFileStream, ReadStreamsHandOutTheRestMappedWriteStreamsDoNot) {
  TempDir dir;
  const std::string content = PatternBytes(3 * 4096 + 5);
  WriteWholeFile(dir.File("a.bin"), content);
  std::unique_ptr<ZuFileStream> in(
      ZuFileStream::Open(dir.File("a.bin"), ZuFileStream::Mode::kRead));
  ASSERT_TRUE(in);
  char head[10];
  ASSERT_EQ(in->Read(head, sizeof head), sizeof head);
  ZuSharedBytes rest;
  ASSERT_TRUE(in->MapRemaining(rest));
  EXPECT_TRUE(rest.IsMapped());
  EXPECT_EQ(std::string(rest.begin(), rest.end()), content.substr(sizeof head));
  EXPECT_EQ(in->GetPosition(), content.size());
  EXPECT_EQ(in->Read(head, 1), 0u);

  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(dir.File("b.bin"), ZuFileStream::Mode::kWrite));
  ASSERT_TRUE(out);
  EXPECT_FALSE(out->MapRemaining(rest));
}

}  // namespace

namespace {

TEST_F(MappedPageRelease, PrivateViewsCopyOnlyWhatIsWrittenAndAreNeverHandedBack) {
  const ZuSharedBytes middle = m_bytes.Slice(5000, 3 << 20);
  ZuSharedBytes view;
  uint8_t* writable = nullptr;
  ASSERT_TRUE(ZuMappedFile::MapPrivateView(middle, view, writable));
  ASSERT_EQ(view.size(), middle.size());
  EXPECT_FALSE(view.IsMapped());
  EXPECT_EQ(std::memcmp(view.data(), middle.data(), middle.size()), 0);

  writable[0] = uint8_t(~middle[0]);
  writable[middle.size() - 1] = uint8_t(~middle[middle.size() - 1]);
  // The mapping and the file stay as they were.
  EXPECT_EQ(std::memcmp(m_bytes.data(), m_content.data(), kFileSize), 0);
  EXPECT_EQ(ReadWholeFile(m_dir.File("movie.bin")), m_content);
  // A walk over the view keeps what was written.
  WalkForward(view, Tell::kAfterReading);
  EXPECT_EQ(view[0], uint8_t(~middle[0]));
  EXPECT_EQ(view[middle.size() - 1], uint8_t(~middle[middle.size() - 1]));
  EXPECT_EQ(std::memcmp(view.data() + 1, middle.data() + 1, middle.size() - 2), 0);

  // Bytes in ordinary memory have no view.
  const ZuSharedBytes copy = ZuSharedBytes::Copy(middle.span().first(100));
  EXPECT_FALSE(ZuMappedFile::MapPrivateView(copy, view, writable));
}

}  // namespace
