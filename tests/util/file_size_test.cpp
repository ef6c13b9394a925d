// File sizes as --max-size reads them and as messages write them.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/util/ZuFileSize.h"

namespace {

TEST(FileSize, ReadsDecimalAndBinaryUnitsAndRefusesTheRest) {
  const std::vector<std::pair<std::string, std::optional<uint64_t>>> cases = {
      {"300000", 300000},
      {"1", 1},
      {"5MB", 5000000},
      {"5mb", 5000000},
      {"5 MB", 5000000},
      {"500KB", 500000},
      {"500kB", 500000},
      {"1.5MB", 1500000},
      {"2MiB", 2097152},
      {"2mib", 2097152},
      {"1.5KiB", 1536},
      {"3GB", 3000000000},
      {"1GiB", 1073741824},
      {"12B", 12},
      {"1.0009KB", 1000},  // whole bytes, rounded down
      {"1TB", 1000000000000},
      {"1TiB", uint64_t{1} << 40},
      {"1099511627776", uint64_t{1} << 40},
      {"1099511627777", std::nullopt},
      {"1.5TiB", std::nullopt},
      {"2TB", std::nullopt},
      {"0", std::nullopt},
      {"0MB", std::nullopt},
      {"0.0001KB", std::nullopt},
      {"0.5", std::nullopt},
      {"-5MB", std::nullopt},
      {"+5MB", std::nullopt},
      {"1e6", std::nullopt},
      {".5MB", std::nullopt},
      {"5.MB", std::nullopt},
      {"1.2.3MB", std::nullopt},
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"", std::nullopt},
      {"MB", std::nullopt},
      {"5 ", std::nullopt},
      {"5  MB", std::nullopt},
      {"5M", std::nullopt},
      {"5XB", std::nullopt},
      {"5MBs", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(ZuReadFileSize(text), bytes) << "'" << text << "'";
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
