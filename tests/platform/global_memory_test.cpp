// The global-memory stand-ins: movable and fixed blocks, lock counts, handles found from
// addresses, freeing, refused handles, the failure hook; and the tick count.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/ZuTickCount.h"
#include "platform/ZuWinGlobalMemory.h"

namespace {

class GlobalMemory : public testing::Test {
 protected:
  void SetUp() override { m_liveBefore = ZuGlobalMemoryCountLiveBlocks(); }
  void TearDown() override {
    ZuGlobalMemoryFailNextAllocs(0);
    EXPECT_EQ(ZuGlobalMemoryCountLiveBlocks(), m_liveBefore);
  }

 private:
  size_t m_liveBefore = 0;
};

TEST_F(GlobalMemory, MovableBlockIsZeroedAndCountsLocks) {
  const HGLOBAL block = GlobalAlloc(GHND, 100);
  ASSERT_NE(block, nullptr);
  auto* first = static_cast<uint8_t*>(GlobalLock(block));
  ASSERT_NE(first, nullptr);
  EXPECT_NE(static_cast<void*>(first), block);  // a movable handle is not the address
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(first[i], 0) << i;
  }
  std::memset(first, 0x5A, 100);
  void* second = GlobalLock(block);
  EXPECT_EQ(second, first);
  EXPECT_EQ(GlobalHandle(first), block);
  EXPECT_EQ(GlobalHandle(first + 1), nullptr);
  EXPECT_TRUE(GlobalUnlock(block));   // still locked once
  EXPECT_FALSE(GlobalUnlock(block));  // now unlocked
  EXPECT_FALSE(GlobalUnlock(block));  // not locked at all
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);  // already freed
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalHandle(first), nullptr);
}

TEST_F(GlobalMemory, FixedBlockHandleIsItsAddress) {
  const HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), block);
  EXPECT_EQ(GlobalHandle(block), block);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST_F(GlobalMemory, StrangeHandlesAreRefused) {
  int notABlock = 0;
  EXPECT_EQ(GlobalLock(&notABlock), nullptr);
  EXPECT_FALSE(GlobalUnlock(&notABlock));
  EXPECT_EQ(GlobalHandle(&notABlock), nullptr);
  EXPECT_EQ(GlobalFree(&notABlock), &notABlock);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST_F(GlobalMemory, AskedFailuresComeFirst) {
  ZuGlobalMemoryFailNextAllocs(2);
  EXPECT_EQ(GlobalAlloc(GHND, 16), nullptr);
  EXPECT_EQ(GlobalAlloc(GHND, 16), nullptr);
  const HGLOBAL block = GlobalAlloc(GHND, 16);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(GlobalFree(block), nullptr);

  ZuGlobalMemoryFailNextAllocs(5);
  ZuGlobalMemoryFailNextAllocs(0);  // called off
  const HGLOBAL another = GlobalAlloc(GHND, 16);
  EXPECT_NE(another, nullptr);
  EXPECT_EQ(GlobalFree(another), nullptr);
}

TEST(TickCount, CountsMillisecondsForward) {
  const DWORD before = timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const DWORD after = timeGetTime();
  EXPECT_GE(after - before, 25u);
  EXPECT_LT(after - before, 5000u);
}

}  // namespace
