#include "host/util/ZuString.h"

#include <charconv>

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The lowest and highest second byte allowed after a lead byte. Excluding these ranges
// rules out overlong forms, the surrogate range and code points above U+10FFFF.
void SecondByteRange(unsigned char lead, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (lead == 0xE0) {
    *low = 0xA0;
  } else if (lead == 0xED) {
    *high = 0x9F;
  } else if (lead == 0xF0) {
    *low = 0x90;
  } else if (lead == 0xF4) {
    *high = 0x8F;
  }
}

// How many bytes a sequence starting with lead has, or 0 when lead cannot start one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

void AppendCodePoint(char32_t code, std::u16string* out) {
  if (code < 0x10000) {
    out->push_back(static_cast<char16_t>(code));
    return;
  }
  code -= 0x10000;
  out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
  out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// Decodes one sequence at text[*pos] and moves *pos past it. A malformed sequence gives
// one U+FFFD for its longest valid-looking start (at least one byte), so decoding never
// swallows a byte that could begin the next character.
void DecodeOne(std::string_view text, size_t* pos, std::u16string* out) {
  const auto lead = static_cast<unsigned char>(text[*pos]);
  const size_t length = SequenceLength(lead);
  if (length == 1) {
    out->push_back(lead);
    ++*pos;
    return;
  }
  ++*pos;
  if (length == 0) {
    out->push_back(kReplacement);
    return;
  }
  char32_t code = lead & (0xFF >> (length + 1));
  unsigned char low = 0;
  unsigned char high = 0;
  SecondByteRange(lead, &low, &high);
  for (size_t i = 1; i < length; ++i) {
    if (*pos >= text.size()) {
      out->push_back(kReplacement);
      return;
    }
    const auto byte = static_cast<unsigned char>(text[*pos]);
    const bool valid = i == 1 ? (byte >= low && byte <= high) : IsContinuation(byte);
    if (!valid) {
      out->push_back(kReplacement);
      return;
    }
    code = (code << 6) | (byte & 0x3F);
    ++*pos;
  }
  AppendCodePoint(code, out);
}

std::u16string DecodeUTF8(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    DecodeOne(text, &pos, &units);
  }
  return units;
}

void EncodeCodePoint(char32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string EncodeUTF8(const std::u16string& units) {
  std::string text;
  text.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      const char32_t code = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      EncodeCodePoint(code, &text);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      EncodeCodePoint(kReplacement, &text);
    } else {
      EncodeCodePoint(unit, &text);
    }
  }
  return text;
}

}  // namespace

ZuString::ZuString(const char* text, ZuCharEncodingType /*encoding*/) {
  if (text != nullptr) {
    m_units = DecodeUTF8(text);
  }
}

ZuString::ZuString(std::string_view utf8) : m_units(DecodeUTF8(utf8)) {}

ZuString& ZuString::operator=(const char* text) {
  m_units = text != nullptr ? DecodeUTF8(text) : std::u16string();
  return *this;
}

ZuString ZuString::operator+(const ZuString& other) const {
  ZuString result(*this);
  result += other;
  return result;
}

ZuString ZuString::operator+(const char* text) const {
  ZuString result(*this);
  result += text;
  return result;
}

ZuString& ZuString::operator+=(const ZuString& other) {
  m_units += other.m_units;
  return *this;
}

ZuString& ZuString::operator+=(const char* text) {
  if (text != nullptr) {
    m_units += DecodeUTF8(text);
  }
  return *this;
}

ZuString& ZuString::operator+=(char16_t unit) {
  m_units.push_back(unit);
  return *this;
}

ZuString& ZuString::AppendNumber(int value) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof(digits), value);
  m_units.append(digits, result.ptr);
  return *this;
}

std::string ZuString::GetUTF8String() const {
  return EncodeUTF8(m_units);
}
