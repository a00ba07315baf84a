// The game as a desktop program: keys on every screen, dense drawing in a
// scaled window, an installed copy, and a long scripted run in bounded memory.

#include "GameFixture.h"
#include "TindervaleAppDelegate.h"
#include "support/RunGame.h"
#include "support/Scratch.h"
#include "support/TestPictures.h"

#include "platform/UserDefaults.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

using KeysTest = GameFixture;

TEST_F(KeysTest, TheSoundQuestionTakesEnterAsYesAndEscapeIsEachLaterScreensWayBack) {
    showScene(TindervaleAppDelegate::firstScene());
    pressKey("Escape");
    ASSERT_NE(shown<MessageLayer>(), nullptr) << "no way back there, and Escape never quits";
    EXPECT_FALSE(Application::sharedApplication().isTerminating());
    pressKey("Enter");
    EXPECT_TRUE(progress::soundOn());
    EXPECT_NE(shown<MenuLayer>(), nullptr);
    pressKey("Escape");
    EXPECT_NE(shown<MenuLayer>(), nullptr) << "the main menu has no way back";
    EXPECT_FALSE(Application::sharedApplication().isTerminating());
    tap(cpv(160, 277)); // "Start Game"
    ASSERT_NE(shown<LevelLayer>(), nullptr);
    pressKey("Escape");
    EXPECT_NE(shown<MenuLayer>(), nullptr) << "level selection: Main Menu";
    tap(cpv(160, 240)); // "Options"
    ASSERT_NE(shown<OptionLayer>(), nullptr);
    pressKey("Escape");
    EXPECT_NE(shown<MenuLayer>(), nullptr) << "options: Done";
    tap(cpv(300, 20)); // the info button: help flips in
    wait(1.3f);
    ASSERT_NE(shown<HelpLayer>(), nullptr);
    pressKey("Escape");
    wait(1.3f);
    EXPECT_NE(shown<MenuLayer>(), nullptr) << "help: Go Back";
}

TEST_F(KeysTest, OnTheBoardKeysPressItsButtonsAndCtrlQQuits) {
    showScene(newPlayScreen()); // Level 1's objective
    ASSERT_NE(shown<TaskLayer>(), nullptr);
    pressKey("Space"); // "Continue"
    wait(1.0f);
    GameLayer* board = shown<GameLayer>();
    ASSERT_NE(board, nullptr);
    drag(start(0), cpv(40, 100));
    drag(start(2), cpv(280, 420));
    ASSERT_EQ(board->movesMade(), 2);
    pressKey("Ctrl+Z");
    wait(0.05f);
    EXPECT_EQ(board->movesMade(), 1);
    pressKey("Backspace");
    wait(0.05f);
    EXPECT_EQ(board->movesMade(), 0);
    EXPECT_EQ(board->stickAt(0)->position(), start(0));
    pressKey("Z"); // Z alone is nothing
    drag(start(0), cpv(40, 100));
    pressKey("R");
    EXPECT_EQ(board->movesMade(), 0) << "Replay lays the level out again";
    pressKey("Enter");
    EXPECT_EQ(shown<GameLayer>(), board) << "no Next level before the level is solved";
    pressKey("Escape");
    EXPECT_NE(shown<MenuLayer>(), nullptr) << "the board's Main Menu";
    TindervaleAppDelegate delegate;
    Application::sharedApplication().setDelegate(&delegate);
    pressKey("Ctrl+Q");
    EXPECT_TRUE(Application::sharedApplication().isTerminating());
    Application::sharedApplication().setDelegate(nullptr);
}

// The screens drawn at twice the density: the same layout, sharper.
class DenseScreensTest : public GameFixture {
  protected:
    int windowScale() const override { return 2; }
};

// The main menu's picture here is also the one the program run at --scale 2 is held to.
TEST_F(DenseScreensTest, MainMenuAndBoardAtScale2) {
    showScene(newMainScreen());
    EXPECT_TRUE(matchesGolden("game-main-menu-x2"));
    ASSERT_NE(playLevel(4), nullptr);
    wait(0.1f);
    EXPECT_TRUE(matchesGolden("game-board-x2"));
}

// ---- the executable

TEST(GameProgram, AnInstalledCopyFindsItsResourcesFromAnyPrefix) {
    ScratchDir dir;
    ScratchConfigHome config;
    const std::string prefix = dir.file("some prefix");
    RunResult install = runExecutable(TV_CMAKE_COMMAND, {"--install", TV_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(install.code, 0) << install.output;
    for (const char* file :
         {"share/applications/tindervale.desktop", "share/icons/hicolor/48x48/apps/tindervale.png",
          "share/icons/hicolor/256x256/apps/tindervale.png", "share/tindervale/Default.png",
          "share/tindervale/Default@2x.png"})
        EXPECT_TRUE(fs::is_regular_file(prefix + "/" + file)) << file;

    // It runs a script of taps and keys at --scale 2, so the option is seen to reach the window, and leaves
    // the board with Escape for the main menu, the dense golden. (What each key does is seen without it.)
    const std::string script =
        "wait 0.3\ntap 210 250\nwait 0.5\ntap 160 277\nwait 0.3\ntap 30 300\nwait 1.5\n"
        "key Enter\nwait 1.5\nkey Escape\nwait 0.5\nscreenshot " +
        dir.file("menu.png");
    RunResult run =
        runExecutable(prefix + "/bin/tindervale",
                      {"--headless", "--scale", "2", "--script", dir.write("keys.txt", script + "\n")},
                      {"XDG_CONFIG_HOME=" + config.path()});
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(platform::UserDefaults(config.storeFile()).objectForKey("SoundOnOff"),
              platform::DefaultsValue("FALSE"))
        << "the program keeps the answer in the store it was given";
    EXPECT_TRUE(pictureFilesMatch(dir.file("menu.png"), goldenFile("game-main-menu-x2"), 24, 39))
        << "the installed game drew its pictures";

    // The executable alone, without its share folder: it says so and fails.
    fs::create_directories(dir.file("lonely/bin"));
    fs::copy_file(prefix + "/bin/tindervale", dir.file("lonely/bin/tindervale"));
    RunResult lonely = runExecutable(dir.file("lonely/bin/tindervale"), {"--headless", "--frames", "2"},
                                     {"XDG_CONFIG_HOME=" + config.path()});
    EXPECT_NE(lonely.code, 0);
    EXPECT_NE(lonely.output.find("cannot find the resources"), std::string::npos) << lonely.output;
}

namespace {
// The peak resident size, in kilobytes, of the game running `script` headless.
long peakKilobytes(const std::string& script, const std::string& configHome) {
    pid_t child = fork();
    if (child == 0) {
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        // Freed memory held back for checking would look like growth.
        std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "quarantine_size_mb=1").c_str(), 1);
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, 2);
        execl(TV_GAME_EXECUTABLE, TV_GAME_EXECUTABLE, "--headless", "--script", script.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}
} // namespace

TEST(GameProgram, ALongScriptedRunStaysInBoundedMemory) {
    ScratchDir dir;
    ScratchConfigHome config;
    // On the board, where every frame draws sticks and labels.
    const std::string head = "wait 0.3\ntap 210 250\nwait 0.5\ntap 160 277\nwait 0.3\ntap 30 300\nwait 1.5\n"
                             "key Enter\n";
    long shortRun = peakKilobytes(dir.write("short.txt", head + "frames 300\n"), config.path());
    long longRun = peakKilobytes(dir.write("long.txt", head + "frames 3600\n"), config.path());
    ASSERT_GT(shortRun, 0);
    ASSERT_GT(longRun, 0);
    EXPECT_LE(longRun, shortRun * 6 / 5)
        << "peak " << shortRun << " KB after 300 frames, " << longRun << " KB after 3600";
}
