#pragma once

#include <string>

// fmredit project list / log / info: what a project holds, printed on standard output.
void RunProjectList(const std::string& path);
void RunProjectLog(const std::string& path);
void RunProjectInfo(const std::string& path);
