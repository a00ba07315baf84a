// The game's screens and the ways between them, as a player goes through
// them, and how they look.

#include "GameFixture.h"
#include "TindervaleAppDelegate.h"

#include "engine/Application.h"
#include "engine/Transition.h"
#include "platform/Log.h"

using ScreensTest = GameFixture;

TEST_F(ScreensTest, TheSoundQuestionSetsTheSoundAndOpensTheMainMenu) {
    progress::setLastAvailLevel(5);
    showScene(TindervaleAppDelegate::firstScene());
    ASSERT_NE(shown<MessageLayer>(), nullptr);
    EXPECT_TRUE(matchesGolden("game-sound-question"));
    tap(cpv(210, 250)); // "No"
    EXPECT_FALSE(progress::soundOn());
    EXPECT_EQ(progress::lastAvailLevel(), 5) << "the answer leaves the progress alone";
    ASSERT_NE(shown<MenuLayer>(), nullptr);
    EXPECT_EQ(director()->scenes().size(), 1u) << "the main screen was pushed";
    EXPECT_TRUE(matchesGolden("game-main-menu"));

    tap(cpv(300, 20)); // the info button: help flips in, and back
    EXPECT_NE(dynamic_cast<FlipXUpOver*>(director()->runningScene()), nullptr);
    EXPECT_EQ(transitions, "FlipXUpOver");
    wait(1.25f);
    ASSERT_NE(shown<HelpLayer>(), nullptr);
    tap(cpv(260, 15)); // "Go Back"
    wait(1.25f);
    ASSERT_NE(shown<MenuLayer>(), nullptr);

    tap(cpv(160, 240)); // "Options"
    OptionLayer* options = shown<OptionLayer>();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->soundToggle()->selectedIndex(), 0u) << "No means Sound Off";
}

TEST_F(ScreensTest, TheLevelSelectionFollowsTheStoredProgressAndOpensOnlyOpenLevels) {
    struct Case {
        int32_t progress;
        int unlocked;      // levels 1..unlocked open
        int bonusUnlocked; // bonus 1..n open
        int enlarged;      // level number drawn at 1.2, 0 for none
    };
    for (Case c : {Case{0, 1, 0, 1}, Case{10, 10, 5, 0}, Case{15, 10, 5, 0}, Case{3, 4, 1, 4}}) {
        SCOPED_TRACE("progress " + std::to_string(c.progress));
        progress::setLastAvailLevel(c.progress);
        showScene(sceneWithLayer(LevelLayer::node()));
        LevelLayer* levels = shown<LevelLayer>();
        ASSERT_NE(levels, nullptr);
        for (int i = 1; i <= 10; ++i) {
            MenuItemImage* button = levels->levelButtons()[static_cast<size_t>(i - 1)].get();
            EXPECT_TRUE(
                shows(button->normalImage(),
                      platform::ccFormat(i <= c.unlocked ? "level_stick%d.png" : "level_stick%d_.png", i)))
                << "level " << i;
            EXPECT_EQ(button->scaleX(), i == c.enlarged ? 1.2f : 1.0f) << "level " << i;
        }
        const auto& items = levels->buttons()->children();
        ASSERT_EQ(items.size(), 15u);
        for (int j = 0; j < 5; ++j) {
            auto* bonus = dynamic_cast<MenuItemImage*>(items[static_cast<size_t>(10 + j)].get());
            EXPECT_TRUE(shows(bonus->normalImage(), j < c.bonusUnlocked ? "bonus.png" : "bonus_.png"))
                << "bonus " << j + 1;
        }
    }
    EXPECT_TRUE(matchesGolden("game-level-selection")) << "progress 3, and where the buttons stand";

    // Locked buttons do nothing, open ones open the objective.
    tap(cpv(150, 300)); // Level 5: locked
    tap(cpv(100, 170)); // Bonus 2: locked (3 / 2 = 1)
    EXPECT_TRUE(director()->scenes().empty());
    EXPECT_NE(shown<LevelLayer>(), nullptr);
    EXPECT_EQ(progress::currentLevel(), 0);

    tap(cpv(40, 170)); // Bonus 1
    TaskLayer* task = shown<TaskLayer>();
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->currlevel(), 10);
    EXPECT_EQ(progress::currentLevel(), 10);
    director()->popScene();
    step();
    tap(cpv(120, 300)); // Level 4
    ASSERT_NE(shown<TaskLayer>(), nullptr);
    EXPECT_EQ(shown<TaskLayer>()->currlevel(), 3);
    EXPECT_TRUE(matchesGolden("game-objective"));
}

TEST_F(ScreensTest, DoneFromThePlayScreensMenuReturnsToTheObjective) {
    ASSERT_NE(playLevel(4), nullptr);
    wait(0.1f);
    EXPECT_TRUE(matchesGolden("game-board"));
    tap(cpv(80, 15)); // "Main Menu": the play screen's own menu
    ASSERT_NE(shown<MenuLayer>(), nullptr);
    tap(cpv(160, 240)); // "Options"
    ASSERT_NE(shown<OptionLayer>(), nullptr);
    CocosNode* done = findItem(shown<OptionLayer>(), "Done");
    tap(cpvadd(done->parent()->position(), done->position()));
    ASSERT_NE(shown<TaskLayer>(), nullptr);
    EXPECT_EQ(shown<TaskLayer>()->currlevel(), 4);
}

TEST_F(ScreensTest, YesTheOptionsTogglesResetAndQuitWhichPopsTheScreenAndEndsTheProgram) {
    progress::setLastAvailLevel(7);
    showScene(TindervaleAppDelegate::firstScene());
    tap(cpv(110, 250)); // "Yes"
    ASSERT_NE(shown<MenuLayer>(), nullptr);
    tap(cpv(160, 240)); // "Options"
    OptionLayer* options = shown<OptionLayer>();
    ASSERT_NE(options, nullptr);
    MenuItemToggle* sound = options->soundToggle();
    EXPECT_EQ(sound->selectedIndex(), 1u);
    const cpVect toggle = cpvadd(sound->parent()->position(), sound->position());
    tap(toggle);
    EXPECT_FALSE(progress::soundOn());
    EXPECT_TRUE(logged("selected item: " + sound->selectedItem()->description() + " index:0"));
    tap(toggle);
    EXPECT_TRUE(progress::soundOn());
    tap(cpv(160, 320)); // "Reset to Defaults", the middle of the column
    EXPECT_EQ(progress::lastAvailLevel(), 0) << "what the level selection shows for it is seen above";

    CocosNode* done = findItem(options, "Done");
    tap(cpvadd(done->parent()->position(), done->position()));
    ASSERT_NE(shown<MenuLayer>(), nullptr);
    tap(cpv(160, 200)); // "Quit"
    EXPECT_TRUE(Application::sharedApplication().isTerminating());
    EXPECT_TRUE(director()->scenes().empty());
    ASSERT_NE(director()->nextScene(), nullptr) << "the scene below comes back";
    EXPECT_THAT(director()->nextScene()->children()[0]->children()[0]->description(),
                ::testing::HasSubstr("MessageLayer"));
}
