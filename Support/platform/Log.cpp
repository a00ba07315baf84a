#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace platform {

namespace {
LogSink& sink() {
    static LogSink s;
    return s;
}

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) return format;
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<size_t>(n));
}
} // namespace

void ccLog(std::string_view line) {
    // Lines may carry their own trailing newline (the GL error lines do).
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (sink()) {
        sink()(line);
        return;
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void ccLogf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = vformat(format, args);
    va_end(args);
    ccLog(line);
}

std::string ccFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string s = vformat(format, args);
    va_end(args);
    return s;
}

LogSink setLogSink(LogSink s) {
    LogSink old = std::move(sink());
    sink() = std::move(s);
    return old;
}

} // namespace platform
