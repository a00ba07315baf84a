#include "platform/UserDefaults.h"
#include "platform/Log.h"
#include "support/ScratchConfig.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::string_literals;
using platform::DefaultsValue;
using platform::UserDefaults;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::vector<fs::path> filesIn(const fs::path& dir, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().starts_with(prefix)) found.push_back(e.path());
    return found;
}

class UserDefaultsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setLogSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override { setLogSink(nullptr); }

    ScratchConfigHome home;
    std::string file = home.storeFile();
    fs::path dir = fs::path(file).parent_path();
    std::vector<std::string> log;
};

TEST_F(UserDefaultsTest, GameKeysKeepTheirKindsAcrossRuns) {
    {
        UserDefaults& d = UserDefaults::standardUserDefaults();
        EXPECT_EQ(d.filePath(), file);
        EXPECT_FALSE(d.objectForKey("SoundOnOff"));
        EXPECT_EQ(d.integerForKey("LastAvailLevel"), 0);
        d.setObject("TRUE", "SoundOnOff");
        d.setInteger(3, "LastAvailLevel");
        d.setObject(uint32_t{2}, "CurrentLevel");
    }
    EXPECT_NE(readFile(file).find("SoundOnOff = \"TRUE\"\nLastAvailLevel = 3\nCurrentLevel = 2\n"),
              std::string::npos);

    UserDefaults::resetStandardUserDefaults();
    UserDefaults& again = UserDefaults::standardUserDefaults();
    EXPECT_EQ(again.objectForKey("SoundOnOff"), DefaultsValue("TRUE"));
    EXPECT_TRUE(again.objectForKey("CurrentLevel")->isNumber());
    EXPECT_EQ(again.objectForKey("CurrentLevel")->integerValue(), 2);
    EXPECT_EQ(again.integerForKey("LastAvailLevel"), 3);
    EXPECT_EQ(again.integerForKey("SoundOnOff"), 0); // a text that is not a number
    EXPECT_TRUE(log.empty());
}

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
    writeFile(file, "\xEF\xBB\xBF# my notes\r\n"
                    "\n"
                    "   SoundOnOff = 'TRUE'   # literal text\r\n"
                    "LastAvailLevel=+1_0\n"
                    "Future = [1, \"a # b\"]  # an array from a later version\n"
                    "CurrentLevel = 99999999999999999999999\n"
                    "Flag = true\n"
                    "LastAvailLevel = 4\n");
    UserDefaults d(file);
    EXPECT_EQ(d.objectForKey("SoundOnOff"), DefaultsValue("TRUE"));
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 4); // the last of a duplicate wins
    EXPECT_EQ(d.integerForKey("CurrentLevel"), INT64_MAX);
    EXPECT_FALSE(d.objectForKey("Future"));
    EXPECT_FALSE(d.objectForKey("Flag"));
    EXPECT_EQ(log.size(), 4u); // huge number, two unknown kinds, the duplicate
    EXPECT_TRUE(fs::exists(file));

    d.setInteger(5, "LastAvailLevel");
    std::string text = readFile(file);
    EXPECT_NE(text.find("SoundOnOff = \"TRUE\"\nLastAvailLevel = 5\nFuture = [1, \"a # b\"]\n"
                        "CurrentLevel = 9223372036854775807\nFlag = true\n"),
              std::string::npos)
        << text;
}

TEST_F(UserDefaultsTest, BrokenFilesAreMovedAsideAndDefaultsUsed) {
    const std::vector<std::string> broken = {
        "[section]\nA = 1\n",
        "SoundOnOff \"TRUE\"\n",
        "SoundOnOff = \"TRUE\n",
        "SoundOnOff = \"\\q\"\n",
        "SoundOnOff = \"\\uD800\"\n",
        "A = \"x\" y\n",
        "A =\n",
        "a.b = 1\n",
        "A = \"\"\"long\"\"\"\n",
        "A = 1\nB = \"x\0y\"\n"s,
        "A = 1\n\x7f\x80\xff\n",
    };
    for (const std::string& text : broken) {
        SCOPED_TRACE(text);
        writeFile(file, text);
        log.clear();
        UserDefaults d(file);
        EXPECT_FALSE(d.objectForKey("A"));
        EXPECT_FALSE(fs::exists(file));
        auto aside = filesIn(dir, "defaults.toml.bad-");
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside[0]), text); // nothing of the player's is lost
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(aside[0].string()), std::string::npos) << log[0];
        fs::remove(aside[0]);

        d.setInteger(1, "LastAvailLevel");
        EXPECT_EQ(UserDefaults(file).integerForKey("LastAvailLevel"), 1);
    }
}

TEST_F(UserDefaultsTest, UnreadableFilesAreMovedAsideWithoutHanging) {
    // A folder, a FIFO (reading it would block) and a file far too big for settings.
    auto check = [&](const char* what) {
        SCOPED_TRACE(what);
        log.clear();
        UserDefaults d(file);
        EXPECT_EQ(log.size(), 1u);
        EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
        EXPECT_EQ(filesIn(dir, "defaults.toml.bad-").size(), 1u);
        for (const auto& p : filesIn(dir, "defaults.toml.bad-"))
            fs::remove_all(p);
    };
    fs::create_directories(file);
    check("folder");
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    check("fifo");
    writeFile(file, "A = \"" + std::string(2 << 20, 'x') + "\"\n");
    check("huge");
}

TEST_F(UserDefaultsTest, AStaleTemporaryFileIsIgnoredAndReplaced) {
    writeFile(file, "LastAvailLevel = 6\n");
    // Left by runs killed mid-write: another process's, and one under our own id.
    fs::path other = file + ".999999.tmp", ours = file + "." + std::to_string(getpid()) + ".tmp";
    writeFile(other, "LastAvailLevel = ");
    writeFile(ours, "garbage\n");
    UserDefaults d(file);
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 6);
    d.setInteger(7, "LastAvailLevel");
    EXPECT_EQ(UserDefaults(file).integerForKey("LastAvailLevel"), 7);
    EXPECT_FALSE(fs::exists(ours));
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
        std::vector<UserDefaults::Entry> entries;
        std::string error;
        ASSERT_TRUE(UserDefaults::parse(readFile(file), entries, error)) << error;
        UserDefaults d(file);
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
    writeFile(fs::path(home.path()) / "tindervale", "in the way");
    UserDefaults d(file);
    d.setInteger(3, "LastAvailLevel");
    EXPECT_FALSE(d.lastWriteSucceeded());
    EXPECT_EQ(d.integerForKey("LastAvailLevel"), 3);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("could not be saved"), std::string::npos) << log[0];

    fs::remove(fs::path(home.path()) / "tindervale");
    d.setObject("TRUE", "SoundOnOff");
    EXPECT_TRUE(d.lastWriteSucceeded());
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
    writeFile(real, "LastAvailLevel = 2\n");
    fs::create_directories(dir);
    fs::create_symlink(real, file);
    UserDefaults d(file);
    d.setInteger(3, "LastAvailLevel");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(UserDefaults(real.string()).integerForKey("LastAvailLevel"), 3);
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
