// The global-memory stand-ins refuse strange handles (the edits use their blocks in every key
// frame they render; failing on request is exercised by the edits' refusals).

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

}  // namespace
