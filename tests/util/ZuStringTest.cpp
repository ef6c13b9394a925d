#include "host/util/ZuString.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct DecodeCase {
  const char* name;
  std::string utf8;
  std::u16string units;
};

// UTF-8 in, UTF-16 units held. Each malformed piece becomes one U+FFFD and never swallows
// a byte that can start the next character.
const DecodeCase kDecodeCases[] = {
    {"empty", "", u""},
    {"ascii", "abc", u"abc"},
    {"embedded nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"two bytes", "\xC3\xA9", u"\u00E9"},
    {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
    {"last bmp", "\xEF\xBF\xBF", u"\uFFFF"},
    {"four bytes", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
    {"first supplementary", "\xF0\x90\x80\x80", u"\xD800\xDC00"},
    {"last code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
    {"lone continuation", "\x80", u"\uFFFD"},
    {"invalid byte inside",
     "a\xFF"
     "b",
     u"a\uFFFDb"},
    {"overlong two bytes", "\xC0\x80", u"\uFFFD\uFFFD"},
    {"overlong three bytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"overlong four bytes", "\xF0\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"lead F5", "\xF5\x80", u"\uFFFD\uFFFD"},
    {"truncated at end", "\xE2\x82", u"\uFFFD"},
    {"truncated four at end", "x\xF0\x9F\x98", u"x\uFFFD"},
    {"truncated before ascii",
     "\xE2\x82"
     "A",
     u"\uFFFDA"},
    {"truncated before lead", "\xE2\xC3\xA9", u"\uFFFD\u00E9"},
};

TEST(ZuStringTest, FromUTF8) {
  for (const DecodeCase& c : kDecodeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ZuString(std::string_view(c.utf8)).GetUTF16(), c.units);
    EXPECT_EQ(ZuString(std::string_view(c.utf8)).length(), c.units.size());
    if (c.utf8.find('\0') == std::string::npos) {
      EXPECT_EQ(ZuString(c.utf8.c_str(), kZuCharEncodingUTF8).GetUTF16(), c.units);
      ZuString assigned;
      assigned = c.utf8.c_str();
      EXPECT_EQ(assigned.GetUTF16(), c.units);
    }
  }
}

struct EncodeCase {
  std::u16string units;
  std::string utf8;
};

TEST(ZuStringTest, ToUTF8ReplacesUnpairedSurrogates) {
  const EncodeCase cases[] = {
      {u"", ""},
      {u"A\u00E9\u20AC", "A\xC3\xA9\xE2\x82\xAC"},
      {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {u"\xD800", "\xEF\xBF\xBD"},
      {u"\xDC00", "\xEF\xBF\xBD"},
      {u"\xD800"
       u"a",
       "\xEF\xBF\xBD"
       "a"},
      {u"a\xDC00", "a\xEF\xBF\xBD"},
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const EncodeCase& c : cases) {
    EXPECT_EQ(ZuString(c.units).GetUTF8String(), c.utf8) << testing::PrintToString(c.utf8);
  }
}

// Every Unicode scalar value survives UTF-16 -> UTF-8 -> UTF-16 and takes the right number
// of UTF-8 bytes.
TEST(ZuStringTest, EveryCodePointRoundTrips) {
  std::u16string units;
  size_t expectedBytes = 0;
  for (char32_t code = 1; code <= 0x10FFFF; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) {
      continue;
    }
    if (code < 0x10000) {
      units.push_back(static_cast<char16_t>(code));
    } else {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    }
    expectedBytes += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  }
  const std::string utf8 = ZuString(units).GetUTF8String();
  EXPECT_EQ(utf8.size(), expectedBytes);
  EXPECT_TRUE(ZuString(std::string_view(utf8)).GetUTF16() == units);
}

}  // namespace
