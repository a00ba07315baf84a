// Progress kept across two runs of the game, driven by input scripts the way
// a player would play.

#include "support/RunGame.h"
#include "support/Scratch.h"
#include "support/Solutions.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ProgressAcrossRuns, ASolvedLevelStaysUnlockedInTheNextRun) {
    ScratchConfigHome config;
    auto run = [&](const std::string& script) {
        return runGame({"--headless", "--script", script}, {"XDG_CONFIG_HOME=" + config.path()});
    };

    // Run 1: sound on, Level 1 solved, "Next level".
    std::ostringstream play;
    play << "frames 2\ntap 110 250\nwait 0.3\n" // Yes
         << "tap 160 280\nwait 0.3\n"           // Start Game
         << "tap 30 300\nwait 0.3\n"            // Level 1
         << "tap 160 200\nwait 1.2\n";          // Continue, sticks arrive
    for (const StickMove& m : movesToSolve(*levelAt(0), 0)) {
        const StickPlacement& from = levelAt(0)->start[static_cast<size_t>(m.stick)];
        play << platform::ccFormat("drag %g %g %g %g\n", from.x, from.y, m.place.x, m.place.y);
    }
    play << "wait 2.2\ntap 260 15\nwait 1\n"; // "Next level"
    RunResult first = run(config.write("first.txt", play.str()));
    ASSERT_EQ(first.code, 0) << first.output;

    // Run 2: answering No changes the sound, the progress stays; Level 2 can be opened.
    RunResult second =
        run(config.write("second.txt", "frames 2\ntap 210 250\nwait 0.3\ntap 160 280\nwait 0.3\ntap 60 300\nwait 0.3\nquit\n"));
    ASSERT_EQ(second.code, 0) << second.output;
    platform::UserDefaults stored(config.storeFile());
    EXPECT_EQ(stored.integerForKey("LastAvailLevel"), 1);
    EXPECT_EQ(stored.integerForKey("CurrentLevel"), 1) << "Level 2 was open";
    EXPECT_EQ(stored.objectForKey("SoundOnOff"), platform::DefaultsValue("FALSE"));
}
