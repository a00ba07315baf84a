// The game's stored values: their kinds in the file, and hand-edited values
// that would point outside the catalogue.

#include "Progress.h"
#include "support/LogRecorder.h"
#include "support/Scratch.h"

#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

namespace {
class ProgressTest : public ::testing::Test {
  protected:
    // The file as the next run reads it.
    platform::UserDefaults stored() const { return platform::UserDefaults(config.storeFile()); }
    void write(const std::string& text) {
        writeText(config.storeFile(), text);
        platform::UserDefaults::resetStandardUserDefaults();
    }
    ScratchConfigHome config;
    LogRecorder lines;
};
} // namespace

TEST_F(ProgressTest, DefaultsValuesWrittenAtOnceWithTheirKindsAndOddValuesBroughtBack) {
    EXPECT_EQ(std::tuple(progress::soundOn(), progress::lastAvailLevel(), progress::currentLevel()),
              std::tuple(false, 0, 0));
    EXPECT_TRUE(lines.empty());
    progress::setSoundOn(true);
    progress::setLastAvailLevel(3);
    progress::setCurrentLevel(2);
    EXPECT_EQ(stored().objectForKey("SoundOnOff"), platform::DefaultsValue("TRUE"));
    EXPECT_EQ(stored().objectForKey("LastAvailLevel"), platform::DefaultsValue(3));
    EXPECT_EQ(stored().objectForKey("CurrentLevel"), platform::DefaultsValue(2));
    progress::setSoundOn(false);
    EXPECT_EQ(stored().objectForKey("SoundOnOff"), platform::DefaultsValue("FALSE"));

    // Out-of-range values are brought back with one log line.
    write("CurrentLevel = 99\nLastAvailLevel = -4\nSoundOnOff = \"yes\"\n");
    EXPECT_EQ(progress::currentLevel(), 14);
    EXPECT_EQ(progress::currentLevel(), 14);
    EXPECT_EQ(progress::lastAvailLevel(), 0);
    EXPECT_FALSE(progress::soundOn()) << "only the text TRUE means on";
    EXPECT_EQ(lines.size(), 2u) << "one line per odd value, however often it is read";
    write("CurrentLevel = -1\n");
    EXPECT_EQ(progress::currentLevel(), 0);
    write("CurrentLevel = \"seven\"\n");
    EXPECT_EQ(progress::currentLevel(), 0);
    // Reading never rewrites the file: what the player wrote stays until the game changes it.
    write("CurrentLevel = 99\n");
    (void)progress::currentLevel();
    progress::setSoundOn(true);
    EXPECT_EQ(stored().integerForKey("CurrentLevel"), 99);
}
