#pragma once
// The vibration: SDL haptics where a device can rumble, else left out.
// Failures: logged here (see Log.h).

namespace platform {

// Rumbles once and returns at once. The first call looks for a device;
// where there is none (or the run is headless) that is logged once and
// later calls do nothing.
void vibrate();
// Closes the haptic device; the next vibrate() looks again.
void shutdownVibration();

} // namespace platform
