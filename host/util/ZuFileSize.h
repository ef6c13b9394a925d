#pragma once

#include <cstdint>
#include <optional>
#include <string>

// File sizes as people write and read them: "5MB", "1.5MB", "500KB", "2MiB" or "300000"
// bytes. KB, MB, GB and TB are powers of 1000, KiB, MiB, GiB and TiB powers of 1024; the
// unit's case does not matter.

// Far beyond any file an export writes, and small enough that sizes are exact in a double.
constexpr uint64_t kZuMaxFileSize = uint64_t{1} << 40;

// The bytes text names, rounded down; none when it is not a size of at least one byte, or one
// beyond kZuMaxFileSize.
std::optional<uint64_t> ZuReadFileSize(const std::string& text);
// bytes as "5 MB", "1.5 MB", "2 MiB" or "300 bytes": exact in the units a size was likely given
// in, else rounded to a tenth of the largest unit below it ("4.8 MB").
std::string ZuFileSizeText(uint64_t bytes);
