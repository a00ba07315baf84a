#pragma once
// Odds and ends of the platform: web addresses, the screen saver, where
// resources live.
// Failures: worded by the caller (see Log.h).

#include <string>

namespace platform {

// Opens `url` in the desktop's browser; false when that is not possible.
bool openURL(const std::string& url);
// Keeps the screen from blanking while the program runs (or lets it again).
void setScreenSaverEnabled(bool enabled);

// The folder the program's pictures and sounds are read from: the one set
// with setResourceDirectory, else "Resources" next to the executable (or a
// few folders above it, as in the build tree), else the installed one.
std::string resourceDirectory();
void setResourceDirectory(const std::string& directory);

} // namespace platform
