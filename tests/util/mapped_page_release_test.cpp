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
#include "tests/util/UtilTestFiles.h"

namespace {

constexpr size_t kFileSize = size_t{24} << 20;
constexpr size_t kStep = 4096;
// The releaser's batch plus what the system maps around a faulting page.
constexpr size_t kMostResident = size_t{6} << 20;

// The resident bytes of the mapping that holds address, from /proc/self/smaps.
size_t ResidentBytesOf(const void* address) {
  std::FILE* maps = std::fopen("/proc/self/smaps", "r");
  if (maps == nullptr) return SIZE_MAX;
  const auto target = reinterpret_cast<uintptr_t>(address);
  char line[512];
  bool inside = false;
  size_t kilobytes = SIZE_MAX;
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    uintptr_t from = 0, to = 0;
    if (std::sscanf(line, "%lx-%lx ", &from, &to) == 2) {
      inside = target >= from && target < to;
    } else if (inside && std::sscanf(line, "Rss: %zu kB", &kilobytes) == 1) {
      break;
    }
  }
  std::fclose(maps);
  return kilobytes == SIZE_MAX ? SIZE_MAX : kilobytes * 1024;
}

// Walks the bytes forward a page at a time, reading one byte of each; returns their sum
// and the most the mapping had resident on the way.
struct Walk {
  uint64_t sum = 0;
  size_t mostResident = 0;
};
Walk WalkForward(const ZuSharedBytes& bytes, bool release) {
  Walk walk;
  ZuMappedPageReleaser pages;
  for (size_t at = 0; at < bytes.size(); at += kStep) {
    walk.sum += bytes[at];
    if (release) pages.Passed(bytes, at);
    if (at % (size_t{1} << 20) == 0) {
      walk.mostResident = std::max(walk.mostResident, ResidentBytesOf(bytes.data()));
    }
  }
  return walk;
}

class MappedPageRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    m_content = PatternBytes(kFileSize);
    WriteWholeFile(m_dir.File("movie.bin"), m_content);
    std::string error;
    ASSERT_TRUE(ZuMappedFile::Map(m_dir.File("movie.bin"), m_bytes, &error)) << error;
    for (size_t at = 0; at < kFileSize; at += kStep) m_expectedSum += uint8_t(m_content[at]);
  }
  TempDir m_dir;
  std::string m_content;
  ZuSharedBytes m_bytes;
  uint64_t m_expectedSum = 0;
};

TEST_F(MappedPageRelease, AWalkKeepsOnlyABatchResidentAndReadsTheSameBytes) {
  ASSERT_TRUE(m_bytes.IsMapped());
  const Walk released = WalkForward(m_bytes, true);
  EXPECT_EQ(released.sum, m_expectedSum);
  EXPECT_LE(released.mostResident, kMostResident);
  EXPECT_LE(ResidentBytesOf(m_bytes.data()), kMostResident);

  // Pages handed back come back unchanged, and without the releaser the walk holds the
  // whole file: the measurement itself sees residency.
  const Walk kept = WalkForward(m_bytes, false);
  EXPECT_EQ(kept.sum, m_expectedSum);
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
  WalkForward(bytes, true);
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
  WalkForward(view, true);
  EXPECT_EQ(view[0], uint8_t(~middle[0]));
  EXPECT_EQ(view[middle.size() - 1], uint8_t(~middle[middle.size() - 1]));
  EXPECT_EQ(std::memcmp(view.data() + 1, middle.data() + 1, middle.size() - 2), 0);

  // Bytes in ordinary memory have no view.
  const ZuSharedBytes copy = ZuSharedBytes::Copy(middle.span().first(100));
  EXPECT_FALSE(ZuMappedFile::MapPrivateView(copy, view, writable));
}

}  // namespace
