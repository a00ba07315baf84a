#pragma once
// What the game keeps between runs: the sound setting, the highest unlocked
// regular level and the level last chosen, in the player's settings store.
// The file can be edited by hand, so values are read defensively: anything
// that would point outside the catalogue or lock the first level is brought
// back into range (with a log line) instead.

#include <cstdint>

namespace progress {

// "SoundOnOff" is the text "TRUE": anything else, or nothing, is off.
bool soundOn();
void setSoundOn(bool on);

// "LastAvailLevel": the highest unlocked regular level index (10 after
// Level 10, 15 after Bonus 5). Absent gives 0; a negative value reads as 0.
int32_t lastAvailLevel();
void setLastAvailLevel(int32_t level);

// "CurrentLevel": the level index last chosen. Absent gives 0; a value
// outside the catalogue reads as the nearest level that exists.
int32_t currentLevel();
void setCurrentLevel(int32_t level);

} // namespace progress
