#pragma once
// The one logging function. Lines go to stderr unless a sink is installed
// (tests install one to read what was logged).

#include <functional>
#include <string>
#include <string_view>

using LogSink = std::function<void(std::string_view line)>;

void ccLog(std::string_view line);
// printf-style formatting; the line is passed to ccLog.
void ccLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-style formatting into a string.
std::string ccFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs `sink` (an empty function restores stderr); returns the previous one.
LogSink setLogSink(LogSink sink);
