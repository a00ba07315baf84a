// The game's options, and the executable run the way a person runs it.

#include "runner/CommandLine.h"
#include "support/EngineTest.h"
#include "support/RunGame.h"
#include "support/Scratch.h"

TEST(CommandLineTest, ReadsTheOptionsAndRejectsBadValues) {
    auto r = parseCommandLine(
        {"--scale", "3", "--headless", "--frames", "12", "--screenshot", "a.png", "--script", "s"});
    ASSERT_TRUE(r.ok) << r.error;
    const CommandLine& o = r.options;
    EXPECT_EQ(std::tie(o.scale, o.headless, o.frames, o.screenshot, o.script, o.help),
              std::make_tuple(3, true, 12L, std::string("a.png"), std::string("s"), false));
    EXPECT_TRUE(parseCommandLine({"--help"}).options.help);
    EXPECT_EQ(parseCommandLine({}).options.scale, 0) << "chosen from the display";
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
        EXPECT_TRUE(!r.ok && !r.error.empty()) << args[0];
    }
}

TEST(GameExecutable, BadInputAndNoDisplayExitWithTwoAndSayWhy) {
    RunResult r = runGame({"--frames", "nine"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find("--frames"), std::string::npos) << r.output;

    ScratchDir dir;
    std::string script = dir.write("bad.txt", std::string("wait 1\n\ntap 1\n"));
    r = runGame({"--headless", "--script", script});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.output.find(":3:"), std::string::npos) << "the line number: " << r.output;

    r = runGame({"--headless", "--script", "/nonexistent/script.txt"});
    EXPECT_EQ(r.code, 2);

    r = runGame({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.output.find("--screenshot"), std::string::npos);

    // Without a display (ctest asks for the offscreen driver: take it away) it says so in one line.
    r = runGame({"--frames", "1"}, {"-u", "SDL_VIDEODRIVER", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_NE(r.output.find("display"), std::string::npos) << r.output;
}
