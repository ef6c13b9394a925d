#pragma once

#include <string>

// The times the edits take, in seconds: a finite number from 0 to kMaxSeconds (far beyond any
// movie: 65535 frames at one frame a second). Every edit checks its times here, whether they
// come from the command line or the web editor.
constexpr double kMaxSeconds = 1000000;

// A number as a refusal echoes the value it refuses: "0.4", "-1e+07". (A time a message
// states is written by SecondsText, TimeInMovie.h.)
std::string EditSecondsText(double seconds);
// Empty when seconds is such a time; else why not, naming the value as shown.
std::string WhyNotSeconds(double seconds, const std::string& shown);
// Throws EditError (a wrong argument) "name: <why>" when seconds is not such a time.
void RequireSeconds(const std::string& name, double seconds);
