// File sizes as --max-size reads them and as messages write them.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/util/ZuFileSize.h"

namespace {

TEST(FileSize, ReadsDecimalAndBinaryUnitsAndRefusesTheRest) {
  // Sizes read; 1.0009KB: whole bytes, rounded down.
  const std::vector<std::pair<std::string, uint64_t>> read = {
      {"300000", 300000},      {"1", 1},
      {"5MB", 5000000},        {"5mb", 5000000},
      {"5 MB", 5000000},       {"500KB", 500000},
      {"500kB", 500000},       {"1.5MB", 1500000},
      {"2MiB", 2097152},       {"2mib", 2097152},
      {"1.5KiB", 1536},        {"3GB", 3000000000},
      {"1GiB", 1073741824},    {"12B", 12},
      {"1.0009KB", 1000},      {"1TB", 1000000000000},
      {"1TiB", 1099511627776}, {"1099511627776", 1099511627776},
  };
  for (const auto& [text, bytes] : read) {
    EXPECT_EQ(ZuReadFileSize(text), bytes) << "'" << text << "'";
  }
  for (const char* text :
       {"1099511627777", "1.5TiB", "2TB",  "0",       "0MB", "0.0001KB", "0.5", "-5MB", "+5MB",
        "1e6",           ".5MB",   "5.MB", "1.2.3MB", "nan", "inf",      "",    "MB",   "5 ",
        "5  MB",         "5M",     "5XB",  "5MBs",    "0x10"}) {
    EXPECT_EQ(ZuReadFileSize(text), std::nullopt) << "'" << text << "'";
  }
}

TEST(FileSize, WritesSizesInTheUnitsTheyWereLikelyGivenIn) {
  const std::vector<std::pair<uint64_t, std::string>> cases = {
      {5000000, "5 MB"},  {1500000, "1.5 MB"},  {500000, "500 kB"},           {2097152, "2 MiB"},
      {1536, "1.5 KiB"},  {3000000000, "3 GB"}, {4876543, "4.9 MB"},          {1234, "1.2 kB"},
      {300, "300 bytes"}, {1, "1 byte"},        {uint64_t{1} << 40, "1 TiB"},
  };
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(ZuFileSizeText(bytes), text) << bytes;
  }
}

}  // namespace
