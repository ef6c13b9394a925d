#pragma once

#include <string>
#include <string_view>

// The text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);
