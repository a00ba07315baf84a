// The game's options, and the executable run the way a person runs it.

#include "runner/CommandLine.h"
#include "support/EngineTest.h"
#include "support/RunGame.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(CommandLineTest, ReadsTheOptions) {
    auto r = parseCommandLine(
        {"--scale", "3", "--headless", "--frames", "12", "--screenshot", "a.png", "--script", "s"});
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.options.scale, 3);
    EXPECT_TRUE(r.options.headless);
    EXPECT_EQ(r.options.frames, 12);
    EXPECT_EQ(r.options.screenshot, "a.png");
    EXPECT_EQ(r.options.script, "s");
    EXPECT_TRUE(parseCommandLine({"--help"}).options.help);
    EXPECT_EQ(parseCommandLine({}).options.scale, 0) << "chosen from the display";
}

TEST(CommandLineTest, RejectsBadValues) {
    const std::vector<std::vector<std::string>> bad = {
        {"--scale", "0"},
        {"--scale", "-2"},
        {"--scale", "1.5"},
        {"--scale"},
        {"--frames", "x"},
        {"--frames", "0"},
        {"--screenshot"},
        {"--script"},
        {"--fullscreen"},
        {"headless"},
        {"--scale", "99999999999999999999"},
    };
    for (auto& args : bad) {
        auto r = parseCommandLine(args);
        EXPECT_FALSE(r.ok) << args[0];
        EXPECT_FALSE(r.error.empty());
    }
}

namespace {
std::string tempPath(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("tindervale-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return (dir / name).string();
}
} // namespace

TEST(GameExecutable, WritesAScreenshotOfAHeadlessRun) {
    std::string shot = tempPath("shot.png");
    RunResult r = runGame({"--headless", "--frames", "3", "--screenshot", shot});
    ASSERT_EQ(r.code, 0) << r.output;
    platform::Bitmap picture;
    ASSERT_TRUE(readTestPNG(shot, picture));
    EXPECT_EQ(picture.width, 320);
    EXPECT_EQ(picture.height, 480);
    EXPECT_EQ(picture.pixel(0, 0)[3], 255);
}

TEST(GameExecutable, RunsAScriptToItsEnd) {
    std::string script = tempPath("run.txt"), shot = tempPath("mid.png");
    std::ofstream(script) << "# start, wait, look\nwait 0.5\nscreenshot " << shot << "\ntap 160 240\n";
    RunResult r = runGame({"--headless", "--script", script});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(fs::exists(shot));
}

TEST(GameExecutable, BadInputExitsWithTwoAndSaysWhy) {
    RunResult r = runGame({"--frames", "nine"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find("--frames"), std::string::npos) << r.output;

    std::string script = tempPath("bad.txt");
    std::ofstream(script) << "wait 1\n\ntap 1\n";
    r = runGame({"--headless", "--script", script});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find(":3:"), std::string::npos) << "the line number: " << r.output;

    r = runGame({"--headless", "--script", "/nonexistent/script.txt"});
    EXPECT_EQ(r.code, 2);

    r = runGame({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.output.find("--screenshot"), std::string::npos);
}

TEST(GameExecutable, WithoutADisplayItSaysSoInOneLine) {
    // ctest runs us with the offscreen driver asked for; take it away.
    RunResult r = runGame({"--frames", "1"}, {"-u", "SDL_VIDEODRIVER", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"});
    const std::string& output = r.output;
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("display"), std::string::npos) << output;
}
