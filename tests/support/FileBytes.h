#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole-file reads and writes for tests. Both throw std::runtime_error when the file
// cannot be read or written.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
