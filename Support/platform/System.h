#pragma once
// Odds and ends of the platform: web addresses, the screen saver, where
// resources live.
// Failures: worded by the caller (see Log.h).

#include <cstdint>
#include <string>

namespace platform {

// Opens `url` in the desktop's browser; false when that is not possible.
bool openURL(const std::string& url);
// Keeps the screen from blanking while the program runs (or lets it again).
void setScreenSaverEnabled(bool enabled);

// The folder the program's pictures and sounds are read from: the one set
// with setResourceDirectory, else the installed one found from the
// executable (<prefix>/bin/.. -> <prefix>/share/tindervale), else
// "Resources" next to the executable (or a few folders above it, as in the
// build tree), else the one of the configured install prefix.
std::string resourceDirectory();
void setResourceDirectory(const std::string& directory);

// The machine's memory in bytes (0 when unknown). Allocations beyond it are
// refused up front: the system would promise them and end the program later.
uint64_t physicalMemory();

} // namespace platform
