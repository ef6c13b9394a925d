#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "retime/StillFrames.h"

struct SlideStillness;

// What the page asks of a slide's still frames (GET /api/slides/N/still?maxIdle=S
// [&ignoreSmallerThan=P]): the longest still stretch tightening keeps, in seconds, and which
// changes do not count.
struct StillQuery {
  double maxIdle = 0;
  StillRule rule;
};

// Reads the query's parameters (others, such as the token, are left alone). Throws EditError
// (a wrong argument, which the server answers with 400) naming the parameter and why.
StillQuery ReadStillQuery(const std::multimap<std::string, std::string>& params);

// The answer: {"frameCount", "frameRate", "stretches": [[first, last], ...], "framesAfter"}.
nlohmann::json DescribeStillness(const SlideStillness& stillness);
