#include "host/util/ZuUserEventUtil.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <ctime>
#include <sstream>
#include <thread>

#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

// Points FMREDIT_EVENT_LOG at a file (or nowhere) for one test and empties the ring.
class ZuUserEventUtilTest : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv("FMREDIT_EVENT_LOG");
    ZuUserEventUtil::ClearRecentEvents();
  }
  void TearDown() override { SetUp(); }
};

TEST_F(ZuUserEventUtilTest, AppendsTabSeparatedLinesWithUTCTime) {
  TempDir folder;
  const std::string log = folder.File("events.log");
  WriteFileText(log, "earlier line\n");
  setenv("FMREDIT_EVENT_LOG", log.c_str(), 1);

  const std::time_t before = std::time(nullptr);
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Delete", "");
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Insert", "two\tfields\nand lines");
  const std::time_t after = std::time(nullptr);

  std::istringstream lines(ReadFileText(log));
  std::string line;
  ASSERT_TRUE(std::getline(lines, line));
  EXPECT_EQ(line, "earlier line");
  const char* expectedRest[] = {"FMR Edit\tDelete\t", "FMR Edit\tInsert\ttwo fields and lines"};
  for (const char* rest : expectedRest) {
    ASSERT_TRUE(std::getline(lines, line));
    std::tm utc{};
    int consumed = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ\t%n", &utc.tm_year, &utc.tm_mon,
                          &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &consumed),
              6)
        << line;
    ASSERT_EQ(consumed, 21) << line;
    EXPECT_EQ(line.substr(consumed), rest);
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    const std::time_t logged = timegm(&utc);
    EXPECT_GE(logged, before);
    EXPECT_LE(logged, after);
  }
  EXPECT_FALSE(std::getline(lines, line));
}

TEST_F(ZuUserEventUtilTest, UnwritableLogIsIgnored) {
  TempDir folder;
  setenv("FMREDIT_EVENT_LOG", folder.File("missing/folder/events.log").c_str(), 1);
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Merge", "");
  setenv("FMREDIT_EVENT_LOG", folder.Path().c_str(), 1);  // a folder, not a file
  ZuUserEventUtil::LogUserEvent("FMR Edit", "Merge", "");
  EXPECT_EQ(ZuUserEventUtil::GetRecentEvents().size(), 2u);
  EXPECT_TRUE(FilesIn(folder).empty());
}

}  // namespace
