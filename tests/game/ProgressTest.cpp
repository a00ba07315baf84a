// The game's stored values: their kinds in the file, and hand-edited values
// that would point outside the catalogue.

#include "Progress.h"
#include "support/ScratchConfig.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
class ProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setLogSink([this](std::string_view l) { lines.emplace_back(l); });
    }
    void TearDown() override { setLogSink(nullptr); }
    std::string file() const {
        std::ifstream in(config.storeFile());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& text) {
        std::filesystem::create_directories(config.path() + "/tindervale");
        std::ofstream(config.storeFile()) << text;
        platform::UserDefaults::resetStandardUserDefaults();
    }
    ScratchConfigHome config;
    std::vector<std::string> lines;
};
} // namespace

TEST_F(ProgressTest, NothingStoredMeansSoundOffAndTheFirstLevel) {
    EXPECT_FALSE(progress::soundOn());
    EXPECT_EQ(progress::lastAvailLevel(), 0);
    EXPECT_EQ(progress::currentLevel(), 0);
    EXPECT_TRUE(lines.empty());
}

TEST_F(ProgressTest, ValuesAreWrittenAtOnceWithTheirKinds) {
    progress::setSoundOn(true);
    progress::setLastAvailLevel(3);
    progress::setCurrentLevel(2);
    std::string text = file();
    EXPECT_NE(text.find("SoundOnOff = \"TRUE\""), std::string::npos) << text;
    EXPECT_NE(text.find("LastAvailLevel = 3"), std::string::npos) << text;
    EXPECT_NE(text.find("CurrentLevel = 2"), std::string::npos) << text;
    platform::UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(progress::soundOn());
    EXPECT_EQ(progress::lastAvailLevel(), 3);
    EXPECT_EQ(progress::currentLevel(), 2);
    progress::setSoundOn(false);
    EXPECT_NE(file().find("SoundOnOff = \"FALSE\""), std::string::npos);
}

TEST_F(ProgressTest, OutOfRangeValuesAreBroughtBackWithOneLogLine) {
    write("CurrentLevel = 99\nLastAvailLevel = -4\nSoundOnOff = \"yes\"\nMyNote = \"keep me\"\n");
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
    write("CurrentLevel = 99\nMyNote = \"keep me\"\n");
    (void)progress::currentLevel();
    progress::setSoundOn(true);
    EXPECT_NE(file().find("CurrentLevel = 99"), std::string::npos);
    EXPECT_NE(file().find("MyNote = \"keep me\""), std::string::npos);
}
