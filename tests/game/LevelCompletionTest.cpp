// Every level solved as a player solves it: the right sticks dragged onto one
// of its solutions, the banner, the sound, and the progress that follows.

#include "GameFixture.h"
#include "support/Solutions.h"

#include "engine/Transition.h"
#include "platform/Log.h"

namespace {
class CompletionTest : public GameFixture {
  protected:
    // Drags the sticks of the level's first solution into place.
    void solve(GameLayer* board, int index) {
        for (const StickMove& m : movesToSolve(*levelAt(index), 0))
            drag(board->stickAt(m.stick)->position(), cpv(m.place.x, m.place.y));
    }
};
class EveryLevel : public CompletionTest, public ::testing::WithParamInterface<int> {};

// The stored progress before the level is played, chosen so that each rule shows.
int32_t progressBefore(int index) {
    if (index <= 8) return index; // "Next level" raises it by one
    if (index == 9) return 12;    // solving Level 10 sets 10 even when it was higher
    return 10;                    // bonus levels leave it alone (Bonus 5 sets 15)
}
} // namespace

TEST_P(EveryLevel, IsSolvedByMovingTheRightSticks) {
    const int index = GetParam();
    const Level& level = *levelAt(index);
    progress::setSoundOn(true);
    progress::setLastAvailLevel(progressBefore(index));
    GameLayer* board = playLevel(index);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(textOf(board->titleLabel()), index < 10 ? "Level " + std::to_string(index + 1)
                                                       : "Bonus " + std::to_string(index - 9));
    solve(board, index);

    // The last move's frame judged the board.
    EXPECT_EQ(board->state(), GameLayer::kIdle);
    EXPECT_EQ(textOf(board->banner()), index == 9 ? "You Win" : "Level Complete");
    EXPECT_LE(board->banner()->contentSize().width * board->banner()->scale(), 320.0f)
        << "the banner starts inside the screen";
    std::vector<std::string> expected(static_cast<size_t>(level.moveCount), "Move");
    expected.push_back(index == 9 ? "Win" : "Success");
    EXPECT_EQ(sounds_.playedNames(), expected);
    EXPECT_EQ(sounds_.vibrationCount(), 0);

    wait(2.05f); // the banner shrinks for two seconds, then goes
    EXPECT_FALSE(board->banner()->visible());
    MenuItemFont* next = findItem(board, "Next level");
    if (index == 9 || index == 14) {
        EXPECT_EQ(next, nullptr) << "the last level of a series offers no next level";
        EXPECT_EQ(progress::lastAvailLevel(), index == 9 ? 10 : 15);
        EXPECT_TRUE(board->replayItem()->visible());
        // Replay plays what the board has moved on to: Bonus 1 after Level 10, Bonus 5 again after itself.
        tap(cpv(260, 15));
        EXPECT_EQ(board->state(), GameLayer::kPlaying);
        EXPECT_EQ(textOf(board->titleLabel()), index == 9 ? "Bonus 1" : "Bonus 5");
        return;
    }
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(progress::lastAvailLevel(), progressBefore(index)) << "solving alone unlocks nothing";
    EXPECT_FALSE(board->replayItem()->visible()) << "Next level stands where Replay was";
    tap(cpv(260, 15));
    EXPECT_EQ(progress::lastAvailLevel(), index <= 8 ? index + 1 : 10);
    EXPECT_NE(dynamic_cast<SlideInTTransition*>(director()->runningScene()), nullptr);
    wait(0.85f);
    EXPECT_NE(shown<LevelLayer>(), nullptr) << "the level selection slid in";
}

INSTANTIATE_TEST_SUITE_P(Game, EveryLevel, ::testing::Range(0, kLevelCount));

// The board judges with the one rule, not stick by stick against the places of every solution:
// on the glass, stick 0 to a place only its first solution has, stick 2 to one only its second has.
TEST_F(CompletionTest, SticksFromTwoDifferentSolutionsFail) {
    GameLayer* board = playLevel(9);
    drag(board->stickAt(0)->position(), cpv(256, 144));
    drag(board->stickAt(2)->position(), cpv(112, 192));
    EXPECT_EQ(textOf(board->banner()), "Try again");
}
