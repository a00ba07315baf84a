#include "platform/Sound.h"
#include "platform/SoundConversion.h"
#include "platform/SoundFile.h"
#include "platform/SoundMixer.h"
#include "support/LogRecorder.h"
#include "support/Scratch.h"
#include "support/TestSounds.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace platform;
using ::testing::ElementsAre;
using ::testing::FloatEq;

namespace {

float peak(const SoundBuffer& b) {
    float p = 0;
    for (float v : b.samples)
        p = std::max(p, std::abs(v));
    return p;
}
std::tuple<int, int, size_t> shape(const SoundBuffer& b) { return {b.rate, b.channels, b.frames()}; }

class SystemSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1); // tests never make noise
    }
    std::string path(const std::string& name) const { return scratch.file(name); }
    std::string sound(const std::string& name, const TestSound& s = {}) {
        EXPECT_TRUE(writeTestSound(path(name), s));
        return path(name);
    }

    ScratchDir scratch;
    LogRecorder log;
};

TEST_F(SystemSoundTest, RefusesWhatIsNotAShortSoundFile) {
    SoundBuffer b;
    EXPECT_EQ(decodeSoundFile(path("missing.caf"), b), DecodeResult::Unreadable);
    EXPECT_EQ(decodeSoundFile(scratch.path(), b), DecodeResult::Unreadable); // a FIFO is refused alike
    EXPECT_EQ(decodeSoundFile(scratch.write("text.caf", "not a sound file at all, just words"), b),
              DecodeResult::Unsupported);
    EXPECT_EQ(decodeSoundFile(scratch.write("empty.wav", ""), b), DecodeResult::Unsupported);
    // A cut-off file keeps what can be read.
    std::string whole = sound("whole.wav", {TestSound::WAV, 8000, 1, 1.0});
    fs::resize_file(whole, fs::file_size(whole) / 2);
    EXPECT_EQ(decodeSoundFile(whole, b), DecodeResult::Ok);
    EXPECT_GT(b.frames(), 3000u);
    EXPECT_LT(b.frames(), 4000u);
    EXPECT_EQ(decodeSoundFile(sound("long.wav", {TestSound::WAV, 8000, 1, kMaxSystemSoundSeconds + 1}), b),
              DecodeResult::TooLong);
    EXPECT_TRUE(b.samples.empty());
}

TEST_F(SystemSoundTest, DecodesWavAndCafFilesAndConvertsThemToTheOutputFormat) {
    SoundBuffer mono, caf;
    ASSERT_EQ(decodeSoundFile(sound("m.wav", {TestSound::WAV, 22050, 1, 1.0}), mono), DecodeResult::Ok);
    EXPECT_EQ(shape(mono), std::make_tuple(22050, 1, size_t{22050}));
    EXPECT_NEAR(peak(mono), 0.5f, 0.01f);
    ASSERT_EQ(decodeSoundFile(sound("b.caf", {TestSound::CAF, 44100, 2, 0.5}), caf), DecodeResult::Ok);
    EXPECT_EQ(shape(caf), std::make_tuple(44100, 2, size_t{22050}));
    SoundBuffer stereo;
    ASSERT_TRUE(convertSound(mono, 48000, 2, stereo));
    EXPECT_NEAR(static_cast<double>(stereo.frames()), 48000, 48); // the ending is kept
    for (size_t f = 0; f < stereo.frames(); f += 997)
        EXPECT_FLOAT_EQ(stereo.samples[2 * f], stereo.samples[2 * f + 1]);
    EXPECT_NEAR(peak(stereo), 0.5f, 0.05f);

    // Three channels is a layout SDL may not map; it still comes out.
    SoundBuffer three;
    ASSERT_EQ(decodeSoundFile(sound("t.wav", {TestSound::WAV, 44100, 3, 0.5}), three), DecodeResult::Ok);
    SoundBuffer out;
    ASSERT_TRUE(convertSound(three, 48000, 2, out));
    EXPECT_NEAR(static_cast<double>(out.frames()), 24000, 24);
    EXPECT_GT(peak(out), 0.2f);
    EXPECT_FALSE(convertSound(SoundBuffer{}, 48000, 2, out));
}

TEST(SoundMixer, OverlappingVoicesAddUpClipAndEnd) {
    SoundMixer mixer;
    mixer.setChannels(1);
    auto a = std::make_shared<SoundBuffer>(SoundBuffer{48000, 1, {0.25f, 0.25f, 0.25f, 0.25f}});
    auto b = std::make_shared<SoundBuffer>(SoundBuffer{48000, 1, {0.5f, 0.5f}});
    auto loud = std::make_shared<SoundBuffer>(SoundBuffer{48000, 1, {0.9f, -0.9f}});
    auto stereo = std::make_shared<SoundBuffer>(SoundBuffer{48000, 2, {1, 1}});
    mixer.play(1, a);
    mixer.play(2, b);
    mixer.play(3, stereo); // wrong format: ignored
    float out[3];
    mixer.mix(out, 3);
    EXPECT_THAT(out, ElementsAre(FloatEq(0.75f), FloatEq(0.75f), FloatEq(0.25f)));
    EXPECT_EQ(mixer.playingVoices(), 1u); // b has ended
    mixer.play(1, a);
    mixer.play(4, loud);
    mixer.play(4, loud);
    mixer.mix(out, 3);
    // 0.25 + 0.25 + 0.9 + 0.9, clipped.
    EXPECT_THAT(out, ElementsAre(FloatEq(1.0f), FloatEq(-1.0f), FloatEq(0.25f)));
    mixer.stop(1);
    EXPECT_EQ(mixer.playingVoices(), 0u);
    for (size_t i = 0; i < SoundMixer::kMaxVoices + 5; ++i)
        mixer.play(5, a);
    EXPECT_EQ(mixer.playingVoices(), SoundMixer::kMaxVoices);
}

TEST_F(SystemSoundTest, RegisteredSoundsAndVibrationsPlayAndAreObserved) {
    SystemSoundID move = 0, win = 0;
    ASSERT_EQ(createSystemSound(sound("Move.caf", {TestSound::CAF, 22050, 1, 1.0}), &move),
              kSystemSoundNoError);
    ASSERT_EQ(createSystemSound(sound("Win.wav", {TestSound::WAV, 44100, 2, 1.0}), &win),
              kSystemSoundNoError);
    EXPECT_NE(move, win);
    EXPECT_NE(move, kSystemSoundID_Vibrate);
    EXPECT_NE(move, 0u);
    SystemSoundID untouched = 77;
    EXPECT_EQ(createSystemSound(path("nothing.caf"), &untouched), kSystemSoundUnreadableFile);
    EXPECT_EQ(untouched, 77u);
    EXPECT_EQ(createSystemSound(path("Move.caf"), nullptr), kSystemSoundBadArgument);

    SoundRecorder recorder;
    playSystemSound(move);
    playSystemSound(kSystemSoundID_Vibrate);
    playSystemSound(move);
    playSystemSound(kSystemSoundID_Vibrate);
    playSystemSound(win);
    EXPECT_EQ(recorder.playedNames(), (std::vector<std::string>{"Move", "Move", "Win"}));
    EXPECT_EQ(recorder.vibrationCount(), 2);
    // This machine has no rumble device (or has one and logs nothing).
    EXPECT_TRUE(log.empty() || (log.size() == 1 && log[0].starts_with("Vibration is left out")))
        << ::testing::PrintToString(log);
    log.clear();
    SystemSoundOutputState state = systemSoundOutputState();
    ASSERT_TRUE(state.open);           // the dummy driver is a device
    EXPECT_EQ(state.playingVoices, 3); // one-second sounds are still playing

    EXPECT_EQ(disposeSystemSound(move), kSystemSoundNoError);
    EXPECT_EQ(systemSoundOutputState().playingVoices, 1);
    EXPECT_EQ(disposeSystemSound(move), kSystemSoundUnknownID);
    recorder.clear();
    playSystemSound(move);
    EXPECT_TRUE(recorder.events().empty());
    EXPECT_EQ(log, std::vector<std::string>{"System sound " + std::to_string(move) +
                                            " is not registered; nothing plays"});

    // The device can go and come back; registrations stay.
    shutdownSystemSounds();
    EXPECT_FALSE(systemSoundOutputState().open);
    playSystemSound(win);
    EXPECT_TRUE(systemSoundOutputState().open);
    EXPECT_EQ(systemSoundOutputState().playingVoices, 1);
    EXPECT_EQ(disposeSystemSound(win), kSystemSoundNoError);
}

} // namespace

// Every board registers the same files again: an unchanged file is decoded
// once. To see it, the file is spoiled behind the registry's back, keeping
// its size and time; a second registration still succeeds from the first.
TEST_F(SystemSoundTest, AnUnchangedFileIsDecodedOnlyOnce) {
    const std::string file = sound("twice.wav");
    SystemSoundID first = 0, second = 0, fresh = 0;
    ASSERT_EQ(createSystemSound(file, &first), kSystemSoundNoError);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.write("not a sound at all", 18);
    }
    timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(createSystemSound(file, &second), kSystemSoundNoError);
    EXPECT_NE(first, second) << "each registration has its own id";

    // A file that changed is decoded afresh.
    timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), later, 0), 0);
    EXPECT_EQ(createSystemSound(file, &fresh), kSystemSoundUnsupportedFile);
    disposeSystemSound(first);
    disposeSystemSound(second);
}
