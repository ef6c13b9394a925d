#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reads and writes for tests, as bytes or as text. They throw std::runtime_error
// when the file cannot be read or written.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, std::string_view text);

// size bytes that do not repeat with any short period, so that a misplaced block shows.
std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed = 1);
