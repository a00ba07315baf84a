#pragma once
// The one logging function. Lines go to stderr unless a sink is installed
// (tests install one to read what was logged).
//
// Failures, one rule for every header of the platform layer: a call that can
// fail says so in what it returns (false, a null or empty result, or an enum
// whose first value means success), never through a flag read afterwards, and
// exactly one side logs it:
//  - logged here (the default): the call writes one line saying what failed
//    and why; the caller only decides what to do next.
//  - worded by the caller: where only the caller can put the failure in words
//    (start-up errors the program prints for the user, a missing file that is
//    normal for some callers, the sound status the game logs in its own line,
//    the clock the director reports), the call logs nothing and hands the
//    reason back: the result, and words through a trailing
//    `std::string* error` where there are words.
// Each header says which of the two its calls follow.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

using LogSink = std::function<void(std::string_view line)>;

void ccLog(std::string_view line);
// printf-style formatting; the line is passed to ccLog.
void ccLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// printf-style formatting into a string.
std::string ccFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs `sink` (an empty function restores stderr); returns the previous one.
LogSink setLogSink(LogSink sink);

} // namespace platform
