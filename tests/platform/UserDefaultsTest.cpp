#include "platform/UserDefaults.h"
#include "support/LogRecorder.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;
using namespace std::string_literals;
using platform::DefaultsValue;
using platform::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
  protected:
    ScratchConfigHome home;
    std::string file = home.storeFile();
    fs::path dir = fs::path(file).parent_path();
    LogRecorder log;
};

TEST_F(UserDefaultsTest, OddTextsKeysAndNumbersRoundTrip) {
    const std::vector<std::pair<std::string, DefaultsValue>> values = {
        {"Max", INT64_MAX},
        {"Min", INT64_MIN},
        {"Quotes", "say \"hi\" \\ C:\\dir\\"},
        {"Lines", "one\ntwo\r\n\tthree\x01\x7f"},
        {"Unicode", "caf\xC3\xA9 \xE2\x80\x99 \xF0\x9F\x94\xA5"},
        {"key with spaces = and # hash", "v"},
        {"", "empty key"},
        {"Number", "42"}, // a text that looks like a number stays a text
    };
    {
        UserDefaults d(file);
        for (const auto& [key, value] : values)
            d.setObject(value, key);
    }
    UserDefaults reread(file);
    for (const auto& [key, value] : values)
        EXPECT_EQ(reread.objectForKey(key), value) << key;
    EXPECT_TRUE(log.empty());
}

TEST_F(UserDefaultsTest, ReadsHandEditedFilesAndKeepsWhatItDoesNotKnow) {
    writeText(file, "\xEF\xBB\xBF# my notes\r\n"
                    "\n"
                    "   SoundOnOff = 'TRUE'   # literal text\r\n"
                    "LastAvailLevel=+1_0\n"
                    "Future = [1, \"a # b\"]  # an array from a later version\n"
                    "CurrentLevel = -99999999999999999999999\n"
                    "Flag = true\n"
                    "Huge = [99999999999999999999999]\n");
    UserDefaults d(file);
    EXPECT_EQ(d.objectForKey("SoundOnOff"), DefaultsValue("TRUE"));
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 10);
    EXPECT_EQ(d.integerForKey("CurrentLevel"), INT64_MIN); // beyond 64 bits: the nearest limit
    EXPECT_FALSE(d.objectForKey("Future"));
    EXPECT_FALSE(d.objectForKey("Flag"));
    EXPECT_EQ(log.size(), 2u) << log[0]; // one line per huge number
    EXPECT_TRUE(fs::exists(file));

    d.setInteger(5, "LastAvailLevel");
    UserDefaults reread(file);
    EXPECT_EQ(reread.integerForKey("LastAvailLevel"), 5);
    EXPECT_EQ(reread.integerForKey("CurrentLevel"), INT64_MIN);
    std::string text = readText(file);
    for (const char* kept : {"Future = [ 1, 'a # b' ]", "Flag = true", "Huge = [ 9223372036854775807 ]"})
        EXPECT_NE(text.find(kept), std::string::npos) << text;
}

// Broken, unreadable (a folder; a FIFO is refused alike) and far too big
// files. The TOML library has its own tests of what it refuses; one of each
// kind of refusal is enough here.
TEST_F(UserDefaultsTest, BadFilesAreMovedAsideWithoutHangingAndDefaultsUsed) {
    const std::vector<std::string> bad = {"SoundOnOff \"TRUE\"\n", "A = 1\nB = \"x\0y\"\n"s,
                                          "A = 1\nB = 0x1FFFFFFFFFFFFFFFFF\n",
                                          "A = \"" + std::string(2 << 20, 'x') + "\"\n", "folder"};
    for (const std::string& text : bad) {
        SCOPED_TRACE(text.substr(0, 40));
        if (text == "folder")
            fs::create_directories(file);
        else
            writeText(file, text);
        log.clear();
        UserDefaults d(file);
        EXPECT_FALSE(d.objectForKey("A"));
        EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
        std::vector<fs::path> aside;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string().starts_with("defaults.toml.bad-")) aside.push_back(e.path());
        ASSERT_EQ(aside.size(), 1u);
        // Nothing of the player's is lost.
        EXPECT_TRUE(!fs::is_regular_file(aside[0]) || readText(aside[0]) == text);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(aside[0].string()), std::string::npos) << log[0];
        fs::remove_all(aside[0]);

        d.setInteger(1, "LastAvailLevel");
        EXPECT_EQ(UserDefaults(file).integerForKey("LastAvailLevel"), 1);
        fs::remove(file);
    }
}

TEST_F(UserDefaultsTest, StaleTemporaryFilesAreRemovedAtStart) {
    writeText(file, "LastAvailLevel = 6\n");
    // Left by runs killed mid-write (a process that is gone, and this one's
    // id), one of a run that is still going, and files that are not ours.
    const std::string gone = file + ".999999999.tmp", ours = file + "." + std::to_string(getpid()) + ".tmp";
    const std::string running = file + "." + std::to_string(getppid()) + ".tmp";
    const std::vector<std::string> notOurs = {file + ".x1.tmp", file + ".12.tmp.keep", dir / "other.toml.12.tmp"};
    for (const std::string& f : {gone, ours, running})
        writeText(f, "LastAvailLevel = ");
    for (const std::string& f : notOurs)
        writeText(f, "x");
    UserDefaults d(file);
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 6);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_FALSE(fs::exists(ours));
    EXPECT_TRUE(fs::exists(running));
    for (const std::string& f : notOurs)
        EXPECT_TRUE(fs::exists(f)) << f;
    d.setInteger(7, "LastAvailLevel");
    EXPECT_EQ(UserDefaults(file).integerForKey("LastAvailLevel"), 7);
    EXPECT_TRUE(log.empty());
}

TEST_F(UserDefaultsTest, KillingAWriterNeverLeavesAPartialFile) {
    // The writer puts a long text whose every character is the counter's last
    // digit; a reader must only ever see whole versions.
    auto expected = [](int64_t n) { return std::string(20000, static_cast<char>('0' + n % 10)); };
    {
        UserDefaults d(file);
        d.setInteger(0, "Counter");
        d.setObject(expected(0), "Text");
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UserDefaults d(file);
        for (int64_t n = 1;; ++n) {
            d.setInteger(n, "Counter");
            d.setObject(expected(n), "Text");
        }
    }
    std::set<int64_t> seen;
    for (int reads = 0; reads < 20000 && seen.size() < 30; ++reads) {
        UserDefaults d(file);
        ASSERT_TRUE(log.empty()) << log[0]; // a partial file would have been set aside
        int64_t n = d.integerForKey("Counter");
        if (n == 0) continue;
        std::string text = d.objectForKey("Text")->text();
        EXPECT_TRUE(text == expected(n) || text == expected(n - 1)) << n;
        seen.insert(n);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_GT(seen.size(), 1u);
    UserDefaults after(file);
    int64_t n = after.integerForKey("Counter");
    EXPECT_GE(n, *seen.rbegin());
    ASSERT_TRUE(after.objectForKey("Text"));
    std::string text = after.objectForKey("Text")->text();
    EXPECT_TRUE(text == expected(n) || text == expected(n - 1));
    EXPECT_TRUE(log.empty());
}

TEST_F(UserDefaultsTest, AFailedWriteIsLoggedAndTheValuesKept) {
    // A file where the store's folder should be: nothing can be written.
    writeText(fs::path(home.path()) / "tindervale", "in the way");
    UserDefaults d(file);
    EXPECT_FALSE(d.setInteger(3, "LastAvailLevel"));
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 3);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("could not be saved"), std::string::npos) << log[0];

    fs::remove(fs::path(home.path()) / "tindervale");
    EXPECT_TRUE(d.setObject("TRUE", "SoundOnOff"));
    UserDefaults reread(file);
    EXPECT_EQ(reread.integerForKey("LastAvailLevel"), 3);
    EXPECT_EQ(reread.objectForKey("SoundOnOff"), DefaultsValue("TRUE"));
}

TEST_F(UserDefaultsTest, LocationFollowsTheEnvironmentAndFoldersAreMade) {
    EXPECT_EQ(UserDefaults::defaultFilePath(), file);
    std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", "/nowhere/home", 1);
    setenv("XDG_CONFIG_HOME", "relative/path", 1); // not absolute: ignored
    EXPECT_EQ(UserDefaults::defaultFilePath(), "/nowhere/home/.config/tindervale/defaults.toml");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserDefaults::defaultFilePath(), "/nowhere/home/.config/tindervale/defaults.toml");
    setenv("HOME", savedHome.c_str(), 1);

    fs::path deep = fs::path(home.path()) / "a" / "b" / "defaults.toml";
    UserDefaults(deep.string()).setInteger(1, "X");
    EXPECT_EQ(UserDefaults(deep.string()).integerForKey("X"), 1);
    EXPECT_EQ(fs::status(deep.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(UserDefaultsTest, ALinkedFileIsWrittenThroughTheLink) {
    fs::path real = fs::path(home.path()) / "dotfiles" / "tindervale.toml";
    writeText(real, "LastAvailLevel = 2\n");
    fs::create_directories(dir);
    fs::create_symlink("../dotfiles/tindervale.toml", file);
    UserDefaults d(file);
    d.setInteger(3, "LastAvailLevel");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(UserDefaults(real.string()).integerForKey("LastAvailLevel"), 3);

    // A dangling link (its target's folder not there yet) stays a link too.
    fs::remove(file);
    fs::path later = fs::path(home.path()) / "not-yet" / "synced" / "tindervale.toml";
    fs::create_symlink(later, file);
    UserDefaults(file).setInteger(4, "LastAvailLevel");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(UserDefaults(later.string()).integerForKey("LastAvailLevel"), 4);
    EXPECT_TRUE(log.empty());
}

TEST(DefaultsValue, TextsGiveTheNumberTheyStartWith) {
    EXPECT_EQ(DefaultsValue("42abc").integerValue(), 42);
    EXPECT_EQ(DefaultsValue("  -7").integerValue(), -7);
    EXPECT_EQ(DefaultsValue("TRUE").integerValue(), 0);
    EXPECT_EQ(DefaultsValue("-99999999999999999999").integerValue(), INT64_MIN);
    EXPECT_EQ(DefaultsValue(uint64_t{UINT64_MAX}).integerValue(), INT64_MAX);
    EXPECT_EQ(DefaultsValue(0).text(), "0");
    EXPECT_NE(DefaultsValue("1"), DefaultsValue(1));
}

} // namespace
