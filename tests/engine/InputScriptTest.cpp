// Input scripts: parsing, and running them as a player would.

#include "InputRecorder.h"
#include "support/EngineTest.h"

#include "engine/InputScript.h"
#include "platform/Log.h"

TEST(InputScriptParser, ReadsEveryCommandSkipsCommentsAndReportsTheFirstBadLine) {
    auto r = parseInputScript(
        "# a demo\n\nwait 0.5\nframes 3   # three\ndown 10 20\nmove 11.5 -2\nup 1e1 20\n"
        "tap 5 6\ndrag 0 0 100 50\ndrag 0 0 10 10 4\nscreenshot  my shots/out.png  # first\nquit\n"
        "key ctrl+z\nkey Enter # forward\n");
    ASSERT_TRUE(r.ok) << r.errorLine << ": " << r.error;
    std::vector<std::string> read; // kind@line seconds count x1,y1 x2,y2 |path|key
    for (const ScriptCommand& c : r.commands)
        read.push_back(platform::ccFormat("%d@%d %g %ld %g,%g %g,%g |%s|%s", c.kind, c.line, c.seconds,
                                          c.count, c.x1, c.y1, c.x2, c.y2, c.path.c_str(),
                                          platform::describeKeyPress(c.key).c_str()));
    EXPECT_EQ(read, (std::vector<std::string>{
                        "0@3 0.5 0 0,0 0,0 ||", "1@4 0 3 0,0 0,0 ||", "2@5 0 0 10,20 0,0 ||",
                        "3@6 0 0 11.5,-2 0,0 ||", "4@7 0 0 10,20 0,0 ||", "5@8 0 0 5,6 0,0 ||",
                        "6@9 0 10 0,0 100,50 ||", // ten drag steps unless given
                        "6@10 0 4 0,0 10,10 ||", "7@11 0 0 0,0 0,0 |my shots/out.png|", "8@12 0 0 0,0 0,0 ||",
                        "9@13 0 0 0,0 0,0 ||Ctrl+Z", "9@14 0 0 0,0 0,0 ||Return"}));

    // The bad line is each script's last; the last few parse as numbers but do not fit what they feed.
    for (std::string text : {"wait",           "wait -1",        "frames 2.5",
                             "frames -3",      "tap 1",          "tap 1 2 3",
                             "down x y",       "drag 1 2 3 4 0", "jump 1 2",
                             "quit now",       "screenshot",     "wait 1\n\nfly",
                             "move nan 2",     "wait inf",       "key",
                             "key Ctrl+Q now", "key Hyper+Q",    "frames 99999999999999999999",
                             "tap 28e60 300",  "wait 2e20",      "drag 0 0 0 -3e9",
                             "move 100001 0"}) {
        auto bad = parseInputScript(text + "\n");
        EXPECT_FALSE(bad.ok || bad.error.empty()) << text;
        EXPECT_EQ(bad.errorLine, 1 + std::count(text.begin(), text.end(), '\n')) << text;
        EXPECT_TRUE(bad.commands.empty()) << "nothing runs from a bad script";
    }
}

namespace {
// Runs scripts on a scene with a layer that takes every touch; the journal holds its touches, a "|"
// for every frame's tick and the screenshots taken.
class InputScriptRun : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        auto scene = Scene::node();
        scene->add(InputRecorder::make("f", journal, true));
        scene->schedule("frame", [this](float) { journal->push_back("|"); });
        runScene(scene);
    }
    void run(const char* text, long frameLimit = 0) {
        auto parsed = parseInputScript(text);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        InputScriptRunner runner(clock_, 480, [this](const std::string& path) {
            journal->push_back("shot " + path);
            return true;
        });
        runner.run(parsed.commands, frameLimit);
        framesRun = runner.framesRun();
    }
    std::string log() const {
        std::string all;
        for (const std::string& line : *journal)
            all += (all.empty() ? "" : " ") + line;
        return all;
    }
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    long framesRun = 0;
};
} // namespace

TEST_F(InputScriptRun, TouchesArriveAtTheStartOfTheNextFrame) {
    run("frames 2\ntap 100 30\ndrag 0 0 100 50 4\nscreenshot a.png\n");
    EXPECT_EQ(log(),
              "f.enter | f.began 100,30 | f.ended 100,30 | f.began 0,0 | f.moved 25,12 | f.moved 50,25 | "
              "f.moved 75,37 | f.moved 100,50 | f.ended 100,50 | shot a.png");
    EXPECT_EQ(framesRun, 10);
}

TEST_F(InputScriptRun, WaitRunsFramesOfExactlyASixtiethOfASecondAndTheRunEndsWithTheDirector) {
    run("wait 1\n");
    EXPECT_EQ(framesRun, 60);
    EXPECT_NEAR(director()->dt(), 1.0f / 60, 1e-6);
    run("wait 0.001\nquit\nframes 100\n");
    EXPECT_EQ(framesRun, 1) << "a part of a frame is a whole frame; nothing after quit";
    director()->end();
    run("frames 50\ntap 1 1\n");
    EXPECT_EQ(framesRun, 0);
}

TEST_F(InputScriptRun, ARunAtItsFrameLimitStopsReadingAtOnce) {
    // Millions of drag steps after the last frame would queue touches nobody takes.
    run("frames 2\ndrag 0 0 300 400 50000000\ntap 5 5\nscreenshot late.png\n", 3);
    EXPECT_EQ(framesRun, 3);
    EXPECT_EQ(log(), "f.enter | f.began 0,0 |") << "the tap and the screenshot come too late";
    platform::InputEvent left;
    int pending = 0;
    while (platform::pollInputEvent(left))
        ++pending;
    EXPECT_LE(pending, 1);
}
