#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <optional>
#include <string>

// File sizes as people write and read them: "5MB", "1.5MB", "500KB", "2MiB" or "300000"
// bytes. KB, MB, GB and TB are powers of 1000, KiB, MiB, GiB and TiB powers of 1024; the
// unit's case does not matter.

// The bytes text names, rounded down; none when it is not a size of at least one byte, or one
// beyond kMaxFileSize.
std::optional<uint64_t> ReadFileSize(const std::string& text);
// The check of an option that takes a file size, naming what is allowed when text is not one.
CLI::Validator FileSizeOption();
// bytes as "5 MB", "1.5 MB", "2 MiB" or "300 bytes": exact in the units a size was likely given
// in, else rounded to a tenth of the largest unit below it ("4.8 MB").
std::string FileSizeText(uint64_t bytes);

// Far beyond any file an export writes, and small enough that sizes are exact in a double.
constexpr uint64_t kMaxFileSize = uint64_t{1} << 40;
