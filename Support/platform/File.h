#pragma once
// Reading whole files that come from outside the program, safely: a FIFO or
// a device in a file's place cannot hang the read, and a file larger than
// its caller expects is refused rather than read into memory.
// Failures: worded by the caller (see Log.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ReadFileResult {
    Ok,
    Missing,    // no such file (or a folder on the way is missing)
    NotRegular, // a folder, a FIFO, a device...
    TooLarge,   // more than the caller's limit
    Failed,     // cannot be opened or read
};

// Reads the regular file at `path` into `out`, at most `maxBytes` bytes.
// On anything but Ok, `error` (when given) says what went wrong, in words.
ReadFileResult readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                        std::string* error = nullptr);

} // namespace platform
