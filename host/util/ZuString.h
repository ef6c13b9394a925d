#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

// How char text handed to ZuString is encoded. Only UTF-8 is used.
enum ZuCharEncodingType { kZuCharEncodingUTF8 = 1 };

// Host text. Holds UTF-16 code units (one unit per character of the Basic Multilingual
// Plane; others as surrogate pairs) and converts to and from UTF-8 at the edges.
// Invalid UTF-8 input becomes U+FFFD; unpaired surrogates become U+FFFD on output.
class ZuString {
 public:
  ZuString() = default;
  ZuString(const char* text, ZuCharEncodingType encoding = kZuCharEncodingUTF8);  // NOLINT
  explicit ZuString(std::string_view utf8);
  explicit ZuString(std::u16string units) : m_units(std::move(units)) {}

  ZuString& operator=(const char* text);
  ZuString operator+(const ZuString& other) const;
  ZuString operator+(const char* text) const;
  ZuString& operator+=(const ZuString& other);
  ZuString& operator+=(const char* text);
  ZuString& operator+=(char16_t unit);

  // Appends the decimal form of value ("-12", "0", "345").
  ZuString& AppendNumber(int value);

  uint64_t length() const { return m_units.size(); }
  bool empty() const { return m_units.empty(); }
  void clear() { m_units.clear(); }

  std::string GetUTF8String() const;
  const std::u16string& GetUTF16() const { return m_units; }

  bool operator==(const ZuString& other) const = default;
  std::strong_ordering operator<=>(const ZuString& other) const = default;

 private:
  std::u16string m_units;
};
