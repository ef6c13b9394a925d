#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "projectedit/SlidePointer.h"

// How the page speaks of a slide's recorded pointer and keys. Each reader throws EditError (a
// wrong argument, which the server answers with 400) naming the field and why.

// The settings of an "overlay" change: any of pointer ("show", "hide", "large"), scale (a
// number), clicks and keys (true or false).
ZuOverlayChoice OverlayField(const nlohmann::json& request);

// The page's unsaved settings for a preview frame (?pointer=large&scale=2&clicks=on&keys=off,
// each optional; others, such as after, are left alone), checked as the edit checks them.
ZuOverlayChoice ReadOverlayQuery(const std::multimap<std::string, std::string>& params);

// The answer of GET /api/slides/N/pointer: {"recorded", "pointer", "settings": {"pointer",
// "scale", "clicks", "keys"}, "keyPresses": [{"frame", "index", "seconds", "key"}, ...]}.
nlohmann::json DescribeSlidePointer(const SlidePointer& read);
