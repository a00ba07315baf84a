// The puzzle board played with a finger: picking, dragging, counting,
// undoing, the menus in front of it, and judging a finished board.

#include "GameFixture.h"
#include "TindervaleAppDelegate.h"
#include "support/Solutions.h"

#include "engine/TextureMgr.h"

namespace {
class BoardTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        progress::setSoundOn(true);
        board = playLevel(0);
        ASSERT_NE(board, nullptr);
        wait(0.1f);
    }
    cpVect stickAt(int i) const { return board->stickAt(i)->position(); }
    GameLayer* board = nullptr;
};

void expectAt(cpVect actual, cpVect expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-3);
    EXPECT_NEAR(actual.y, expected.y, 1e-3);
}
} // namespace

TEST_F(BoardTest, TheHitBoxReachesJustShortOf21Points) {
    tap(cpVect{16 + 21, 176});
    EXPECT_FALSE(board->isHolding());
    tap(cpVect{16, 176 - 21});
    EXPECT_FALSE(board->isHolding());
    tap(cpVect{16 + 20, 176 + 20.9f});
    EXPECT_TRUE(board->isHolding());
    EXPECT_EQ(board->selectedIndex(), 0);
}

TEST_F(BoardTest, TapToPickAndTapToPlaceCountsNoMove) {
    tap(start(3));
    ASSERT_TRUE(board->isHolding());
    EXPECT_EQ(board->selectedIndex(), 3);
    tap(cpv(200, 420));
    expectAt(stickAt(3), cpv(200, 420));
    EXPECT_EQ(board->movesMade(), 0);
    EXPECT_EQ(textOf(board->movesLabel()), "Moves 5");
    EXPECT_TRUE(board->isHolding()) << "held until a touch ends after a move";
    EXPECT_TRUE(sounds_.playedNames().empty());
}

TEST_F(BoardTest, ADraggedStickCountsAMoveAndTheLowerIndexWins) {
    drag(start(1), cpv(30, 190));
    expectAt(stickAt(1), cpv(30, 190));
    EXPECT_EQ(board->movesMade(), 1);
    EXPECT_FALSE(board->isHolding());
    EXPECT_EQ(textOf(board->movesLabel()), "Moves 4");
    EXPECT_EQ(sounds_.playedNames(), std::vector<std::string>{"Move"});
    // A drag from empty board picks up the first stick it crosses: 11 at (256, 128).
    drag(cpv(250, 60), cpv(250, 200), 14);
    EXPECT_EQ(board->selectedIndex(), 11);
    expectAt(stickAt(11), cpv(250, 200));
    EXPECT_EQ(board->movesMade(), 2);
    // (23, 183) is inside the boxes of stick 0 (16, 176) and stick 1 (30, 190).
    tap(cpv(23, 183));
    EXPECT_EQ(board->selectedIndex(), 0);
}

TEST_F(BoardTest, UndoGoesBackThroughEveryMoveToWholePoints) {
    drag(start(0), cpv(40.75f, 100));
    drag(cpv(40.75f, 100), cpv(150, 60)); // picked up again at a fractional x
    drag(start(2), cpv(280, 420));
    ASSERT_EQ(board->movesMade(), 3);
    EXPECT_EQ(board->undoRecords()[1].x, 40) << "recorded truncated";

    struct Undone {
        int stick;
        cpVect at;
        int movesLeft;
    };
    // The last press finds nothing left to undo.
    const Undone steps[] = {{2, start(2), 2}, {0, cpv(40, 100), 1}, {0, start(0), 0}, {0, start(0), 0}};
    for (Undone u : steps) {
        tap(cpv(180, 15)); // "Undo"
        wait(0.05f);
        expectAt(stickAt(u.stick), u.at);
        EXPECT_EQ(board->movesMade(), u.movesLeft);
    }
    EXPECT_EQ(textOf(board->movesLabel()), "Moves 5");
}

TEST_F(BoardTest, AFailedBoardTakesNoStickVibratesAndIsLaidOutAgain) {
    progress::setSoundOn(false);
    board->sameLevel(nullptr); // lay out again with sound off
    wait(1.1f);
    for (int i : {0, 2, 4, 6, 8})
        drag(start(i), start(i)); // back where they were: still moves
    // The fifth move ends the round: the board was judged in that frame.
    EXPECT_EQ(board->state(), GameLayer::kIdle);
    EXPECT_EQ(textOf(board->banner()), "Try again");
    tap(start(10));
    EXPECT_FALSE(board->isHolding()) << "no stick is taken while the moves are used up";
    EXPECT_EQ(sounds_.vibrationCount(), 1) << "with sound off too";
    EXPECT_TRUE(sounds_.playedNames().empty());
    // It zooms in from well above its size, yet starts no wider than the screen.
    EXPECT_GT(board->banner()->scale(), 1.5f);
    EXPECT_LE(board->banner()->contentSize().width * board->banner()->scale(), 320.0f);
    expectAt(board->banner()->position(), cpv(160, 240));
    wait(1.05f);
    EXPECT_EQ(board->state(), GameLayer::kPlaying);
    EXPECT_EQ(board->movesMade(), 0);
    EXPECT_EQ(textOf(board->movesLabel()), "Moves 5");
    wait(1.1f);
    for (int i = 0; i < 12; ++i)
        expectAt(stickAt(i), start(i));

    // A memory warning empties the texture cache: the sticks are drawn on.
    TindervaleAppDelegate().applicationDidReceiveMemoryWarning(&Application::sharedApplication());
    step();
    RGBA colour = pixelAt(16, 176);
    EXPECT_GT(colour.r + colour.g + colour.b, 200) << "a stick is still drawn there: " << colour;
}

using FlyInTest = GameFixture;

// (That a paused director moves nothing, the fly-in included, and starts again with no time is the
// director's and the application delegate's.)
TEST_F(FlyInTest, AFlyingStickCanBePickedUp) {
    showScene(newPlayScreen());
    tap(cpv(160, 200)); // "Continue"
    GameLayer* board = shown<GameLayer>();
    ASSERT_NE(board, nullptr);
    wait(0.25f);
    EXPECT_NE(board->stickAt(0)->position(), start(0)) << "still on its way";
    tap(board->stickAt(0)->position());
    EXPECT_TRUE(board->isHolding());
    EXPECT_EQ(board->selectedIndex(), 0);
}

TEST_F(BoardTest, MenusInFrontOfTheBoardTakeTheirTouchesFirst) {
    drag(start(0), cpv(40, 100));
    tap(cpv(150, 460)); // "Mission Objective"
    EXPECT_NE(shown<TaskLayer>(), nullptr);
    tap(cpv(160, 200)); // "Continue": the level from its start
    ASSERT_EQ(shown<GameLayer>(), board);
    EXPECT_EQ(board->movesMade(), 0);
    wait(1.0f);
    drag(start(0), cpv(180, 15)); // lifted over "Undo"
    EXPECT_EQ(board->movesMade(), 0) << "the board never saw the end of the drag";
    EXPECT_TRUE(board->isHolding());
    EXPECT_LT(stickAt(0).y, 176) << "it followed the finger until the finger reached the menu";
}
