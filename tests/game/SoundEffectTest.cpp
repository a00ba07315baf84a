#include "SoundEffect.h"
#include "platform/Sound.h"
#include "support/EngineTest.h"
#include "support/Scratch.h"
#include "support/TestSounds.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using SoundEffectTest = EngineTest;

TEST_F(SoundEffectTest, BadFilesGiveNoneWithTheirLogLineAndAGoodOnePlaysUntilDestroyed) {
    ScratchDir dir;
    auto path = [&dir](const std::string& name) { return dir.file(name); };
    EXPECT_FALSE(SoundEffect::soundEffectWithContentsOfFile("")); // a missing path, silently
    EXPECT_TRUE(logLines().empty());

    EXPECT_FALSE(SoundEffect::soundEffectWithContentsOfFile(path("Win.caf")));
    EXPECT_TRUE(logged("Error 1 loading sound at path: " + path("Win.caf")));
    std::ofstream(path("Success.caf")) << "not a sound";
    EXPECT_FALSE(SoundEffect::soundEffectWithContentsOfFile(path("Success.caf")));
    EXPECT_TRUE(logged("Error 2 loading sound at path: " + path("Success.caf")));

    // A path that names no place on disk has no file URL.
    RefPtr<SoundEffect> half = makeRef<SoundEffect>();
    EXPECT_FALSE(half->initWithContentsOfFile(""));
    EXPECT_TRUE(logged("NSURL is nil for path: "));
    EXPECT_FALSE(SoundEffect::soundEffectWithContentsOfFile(std::string("Mo\0ve.caf", 9)));
    EXPECT_TRUE(logged("NSURL is nil for path: Mo"));
    EXPECT_EQ(logLines().size(), 4u);

    clearLog();
    ASSERT_TRUE(writeTestSound(path("Move.caf"), {TestSound::CAF, 22050, 1, 0.2}));
    // Relative paths are taken from the working folder.
    fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    RefPtr<SoundEffect> move = SoundEffect::soundEffectWithContentsOfFile("Move.caf");
    fs::current_path(previous);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->retainCount(), 1u);

    SoundRecorder recorder;
    move->play();
    move->play();
    EXPECT_EQ(recorder.playedNames(), (std::vector<std::string>{"Move", "Move"}));
    EXPECT_EQ(recorder.events()[0].path, path("Move.caf"));

    platform::SystemSoundID id = move->soundID();
    move = nullptr;
    EXPECT_EQ(platform::disposeSystemSound(id), platform::kSystemSoundUnknownID); // already given back
    EXPECT_TRUE(logLines().empty());
}

} // namespace
