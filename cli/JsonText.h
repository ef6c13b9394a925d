#pragma once

#include <string>
#include <string_view>

// The text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

// A number as the commands print it, in text and in JSON: up to 10 significant digits
// ("15", "0.0666666667").
std::string NumberText(double value);
