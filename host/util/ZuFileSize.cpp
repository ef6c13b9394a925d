#include "host/util/ZuFileSize.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

namespace {

struct SizeUnit {
  const char* name;
  uint64_t bytes;
};

// Largest first, as ZuFileSizeText tries them.
constexpr SizeUnit kDecimalUnits[] = {
    {"TB", 1000000000000}, {"GB", 1000000000}, {"MB", 1000000}, {"kB", 1000}};
constexpr SizeUnit kBinaryUnits[] = {
    {"TiB", uint64_t{1} << 40}, {"GiB", uint64_t{1} << 30}, {"MiB", 1 << 20}, {"KiB", 1 << 10}};
// Decimal units first: a size exact in both reads as decimal.
constexpr std::array<std::span<const SizeUnit>, 2> kUnitSystems = {kDecimalUnits, kBinaryUnits};

bool SameLetters(const std::string& text, const char* name) {
  return std::equal(text.begin(), text.end(), name, name + std::char_traits<char>::length(name),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

// The bytes of one unit, or 0 for a name that is none; no unit (or "B") is bytes.
uint64_t UnitBytes(const std::string& name) {
  if (name.empty() || SameLetters(name, "B")) {
    return 1;
  }
  for (const std::span<const SizeUnit> units : kUnitSystems) {
    for (const SizeUnit& unit : units) {
      if (SameLetters(name, unit.name)) {
        return unit.bytes;
      }
    }
  }
  return 0;
}

// The number in front: digits with at most one point between them, no sign or exponent (which
// from_chars would take), so that "-5MB", "1e9" and ".5MB" are refused.
size_t NumberLength(const std::string& text) {
  const auto digits = [&text](size_t from) {
    size_t at = from;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
      ++at;
    }
    return at;
  };
  size_t end = digits(0);
  if (end > 0 && end + 1 < text.size() && text[end] == '.') {
    const size_t fraction = digits(end + 1);
    end = fraction > end + 1 ? fraction : end;
  }
  return end;
}

// bytes in unit with one decimal at most, as "1.5 MB"; empty when that would not be exact.
std::string ExactIn(uint64_t bytes, const SizeUnit& unit) {
  if (bytes < unit.bytes || bytes * 10 % unit.bytes != 0) {
    return std::string();
  }
  const uint64_t tenths = bytes * 10 / unit.bytes;
  return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") +
         " " + unit.name;
}

}  // namespace

std::optional<uint64_t> ZuReadFileSize(const std::string& text) {
  const size_t length = NumberLength(text);
  if (length == 0) {
    return std::nullopt;
  }
  // One space may part the number from its unit ("5 MB").
  const size_t unitStart = length < text.size() && text[length] == ' ' ? length + 1 : length;
  const uint64_t unit = UnitBytes(text.substr(unitStart));
  double number = 0;
  const auto [after, error] = std::from_chars(text.data(), text.data() + length, number);
  if (unit == 0 || error != std::errc() || after != text.data() + length ||
      (unitStart > length && unitStart == text.size())) {
    return std::nullopt;
  }
  const double bytes = std::floor(number * static_cast<double>(unit));
  if (bytes < 1 || bytes > static_cast<double>(kZuMaxFileSize)) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(bytes);
}

std::string ZuFileSizeText(uint64_t bytes) {
  // A limit given as "2MiB" reads back as "2 MiB", not "2.1 MB".
  for (const std::span<const SizeUnit> units : kUnitSystems) {
    for (const SizeUnit& unit : units) {
      std::string exact = ExactIn(bytes, unit);
      if (!exact.empty()) {
        return exact;
      }
    }
  }
  for (const SizeUnit& unit : kDecimalUnits) {
    if (bytes >= unit.bytes) {
      char text[32];
      std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / unit.bytes,
                    unit.name);
      return text;
    }
  }
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}
