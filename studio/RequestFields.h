#pragma once

#include <climits>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// The fields of the page's JSON requests, each read with its check. A field that is missing
// or of the wrong kind throws EditError (a wrong argument, which the server answers with 400)
// "bad request: "KEY" ..." naming the field, what it must be and the value sent. The ranges
// the edits know (a slide of the project, a time within the movie) are checked by the edits.

// The request's field key, which must be there.
const nlohmann::json& Field(const nlohmann::json& request, const char* key);
// A whole number from low to high (true and 1.5 are refused, not taken for 1).
int IntegerField(const nlohmann::json& request, const char* key, int low = INT_MIN,
                 int high = INT_MAX);
// A list of whole numbers: slides, in order.
// A whole number of bytes, at least 1 (a size limit).
uint64_t ByteCountField(const nlohmann::json& request, const char* key);
// A list of whole numbers: slides, in order.
std::vector<int> SlidesField(const nlohmann::json& request, const char* key);
std::string TextField(const nlohmann::json& request, const char* key);
bool TrueOrFalseField(const nlohmann::json& request, const char* key);
// A JSON number, what saying what it is ("a number of seconds").
double NumberField(const nlohmann::json& request, const char* key, const char* what);
// A time in seconds as a JSON number.
double SecondsField(const nlohmann::json& request, const char* key);

struct RedactOptions;
// What redact takes: slide; the rectangle x, y, width, height (stage pixels); the frames
// first to last (from 1); and fill (0xRRGGBB, a neutral grey when left out).
RedactOptions RedactField(const nlohmann::json& request);
