// Input scripts: parsing, and running them as a player would.

#include "support/EngineTest.h"
#include "support/Recorder.h"

#include "engine/InputScript.h"

TEST(InputScriptParser, ReadsEveryCommandAndIgnoresCommentsAndBlankLines) {
    auto r = parseInputScript(
        "# a demo\n\nwait 0.5\nframes 3   # three\ndown 10 20\nmove 11.5 -2\nup 1e1 20\n"
        "tap 5 6\ndrag 0 0 100 50\ndrag 0 0 10 10 4\nscreenshot  my shots/out.png  # first\nquit\n"
        "key ctrl+z\nkey Enter # forward\n");
    ASSERT_TRUE(r.ok) << r.errorLine << ": " << r.error;
    ASSERT_EQ(r.commands.size(), 12u);
    EXPECT_EQ(r.commands[0].kind, ScriptCommand::Wait);
    EXPECT_EQ(r.commands[0].seconds, 0.5);
    EXPECT_EQ(r.commands[0].line, 3);
    EXPECT_EQ(r.commands[1].count, 3);
    EXPECT_EQ(r.commands[3].y1, -2.0f);
    EXPECT_EQ(r.commands[4].x1, 10.0f);
    EXPECT_EQ(r.commands[6].count, 10) << "default drag steps";
    EXPECT_EQ(r.commands[7].count, 4);
    EXPECT_EQ(r.commands[8].path, "my shots/out.png");
    EXPECT_EQ(r.commands[9].kind, ScriptCommand::Quit);
    EXPECT_EQ(r.commands[10].key, (platform::KeyPress{"Z", true}));
    EXPECT_EQ(r.commands[11].key.name, "Return");
}

TEST(InputScriptParser, ReportsTheFirstBadLine) {
    const std::pair<const char*, int> bad[] = {
        {"wait\n", 1},
        {"wait -1\n", 1},
        {"frames 2.5\n", 1},
        {"frames -3\n", 1},
        {"tap 1\n", 1},
        {"tap 1 2 3\n", 1},
        {"down x y\n", 1},
        {"drag 1 2 3 4 0\n", 1},
        {"jump 1 2\n", 1},
        {"quit now\n", 1},
        {"screenshot\n", 1},
        {"wait 1\n\nfly\n", 3},
        {"move nan 2\n", 1},
        {"wait inf\n", 1},
        {"frames 99999999999999999999\n", 1},
        // Numbers that parse but do not fit what they feed.
        {"tap 28e60 300\n", 1},
        {"wait 2e20\n", 1},
        {"drag 0 0 0 -3e9\n", 1},
        {"move 100001 0\n", 1},
        {"key\n", 1},
        {"key Ctrl+Q now\n", 1},
        {"key Hyper+Q\n", 1},
    };
    for (auto [text, line] : bad) {
        auto r = parseInputScript(text);
        EXPECT_FALSE(r.ok || r.error.empty()) << text;
        EXPECT_EQ(r.errorLine, line) << text;
        EXPECT_TRUE(r.commands.empty()) << "nothing runs from a bad script";
    }
}

namespace {
class Finger : public Layer {
  public:
    std::vector<std::string> seen;
    bool ccTouchesBegan(TouchSet& t, Event*) override { return note("down", t); }
    bool ccTouchesMoved(TouchSet& t, Event*) override { return note("move", t); }
    bool ccTouchesEnded(TouchSet& t, Event*) override { return note("up", t); }
    void draw() override { ++frames; }
    int frames = 0;

  private:
    bool note(const char* what, TouchSet& t) {
        cpVect p = Director::sharedDirector()->convertCoordinate(t.anyObject()->locationInView());
        seen.push_back(std::string(what) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)) +
                       " @" + std::to_string(frames));
        return true;
    }
};

class InputScriptRun : public EngineTest {
  protected:
    RefPtr<Finger> finger;
    void SetUp() override {
        EngineTest::SetUp();
        finger = nodeOf<Finger>();
        finger->setIsTouchEnabled(true);
        auto scene = Scene::node();
        scene->add(finger);
        runScene(scene);
    }
    void run(const char* text, long frameLimit = 0) {
        auto parsed = parseInputScript(text);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        InputScriptRunner runner(clock_, 480, [this](const std::string& path) {
            shots.push_back(path);
            return true;
        });
        runner.run(parsed.commands, frameLimit);
        framesRun = runner.framesRun();
    }
    std::vector<std::string> shots;
    long framesRun = 0;
};
} // namespace

TEST_F(InputScriptRun, TouchesArriveAtTheStartOfTheNextFrame) {
    run("frames 2\ntap 100 30\ndrag 0 0 100 50 4\nscreenshot a.png\n");
    EXPECT_EQ(finger->seen,
              (std::vector<std::string>{"down 100,30 @2", "up 100,30 @3", "down 0,0 @4", "move 25,12 @5",
                                        "move 50,25 @6", "move 75,37 @7", "move 100,50 @8", "up 100,50 @9"}));
    EXPECT_EQ(framesRun, 10);
    EXPECT_EQ(shots, std::vector<std::string>{"a.png"});
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
    EXPECT_EQ(finger->seen, std::vector<std::string>{"down 0,0 @2"});
    EXPECT_TRUE(shots.empty());
    platform::InputEvent left;
    int pending = 0;
    while (platform::pollInputEvent(left))
        ++pending;
    EXPECT_LE(pending, 1);
}

TEST_F(InputScriptRun, PointsFarOffTheScreenConvertWithoutOverflow) {
    cpVect p = director()->convertCoordinate(cpv(5, 3e9f));
    EXPECT_FLOAT_EQ(p.y, 480 - 3e9f);
    p = director()->convertCoordinate(cpv(5, 479.75f));
    EXPECT_FLOAT_EQ(p.y, 0) << "whole points, cut towards zero";
}
