#include "Progress.h"

#include "Levels.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <algorithm>
#include <limits>

using platform::UserDefaults;

namespace progress {

namespace {
constexpr const char* kSoundKey = "SoundOnOff";
constexpr const char* kLastAvailKey = "LastAvailLevel";
constexpr const char* kCurrentKey = "CurrentLevel";

UserDefaults& store() {
    return UserDefaults::standardUserDefaults();
}

// One line per key and value: the value is read every time a screen is built.
void logOutOfRange(const char* key, int64_t value, int64_t used) {
    static int64_t lastLogged[2] = {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min()};
    int64_t& last = lastLogged[key == kCurrentKey ? 1 : 0];
    if (last == value) return;
    last = value;
    platform::ccLogf("Stored %s = %lld is out of range; using %lld", key, static_cast<long long>(value),
                     static_cast<long long>(used));
}
} // namespace

bool soundOn() {
    auto value = store().objectForKey(kSoundKey);
    return value && value->isText() && value->text() == "TRUE";
}

void setSoundOn(bool on) {
    store().setObject(on ? "TRUE" : "FALSE", kSoundKey);
}

int32_t lastAvailLevel() {
    int64_t stored = store().integerForKey(kLastAvailKey);
    int64_t used = std::clamp<int64_t>(stored, 0, std::numeric_limits<int32_t>::max());
    if (used != stored) logOutOfRange(kLastAvailKey, stored, used);
    return static_cast<int32_t>(used);
}

void setLastAvailLevel(int32_t level) {
    store().setInteger(level, kLastAvailKey);
}

int32_t currentLevel() {
    auto value = store().objectForKey(kCurrentKey);
    if (!value) return 0;
    int64_t stored = value->integerValue();
    int64_t used = std::clamp<int64_t>(stored, 0, kLevelCount - 1);
    if (used != stored) logOutOfRange(kCurrentKey, stored, used);
    return static_cast<int32_t>(used);
}

void setCurrentLevel(int32_t level) {
    store().setObject(static_cast<uint32_t>(level), kCurrentKey);
}

} // namespace progress
