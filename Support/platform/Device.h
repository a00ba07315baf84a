#pragma once
// What the program knows about the device it runs on.

#include <string>

namespace platform {

class Device {
  public:
    // A random identifier (32 hexadecimal digits) made on first use and kept in
    // "device-id" beside the settings file, so it stays the same across runs.
    // It is never derived from the machine's own id. Where it cannot be kept,
    // a fresh one serves this run (with one log line).
    static std::string uniqueIdentifier();
    // Where the identifier is kept; empty when there is no settings folder.
    static std::string identifierFilePath();
};

} // namespace platform
