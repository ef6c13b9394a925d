// The global-memory stand-ins refuse strange handles and fail when asked to (the edits use
// their blocks in every key frame they render).

#include <gtest/gtest.h>

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

}  // namespace
