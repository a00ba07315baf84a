// The committed Resources/ are what the generator makes today: it is run into
// a fresh folder and every file it writes is compared with the committed one,
// pictures by their decoded pixels and sounds by their decoded samples, with
// a little room for rounding. A changed generator without regenerated
// resources, or a hand-edited picture, fails here.

#include "support/EngineTest.h"
#include "support/Scratch.h"
#include "support/TestPictures.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
namespace fs = std::filesystem;

namespace {

struct Sound {
    SF_INFO info{};
    std::vector<short> samples;
};

bool readSound(const fs::path& path, Sound& out) {
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &out.info);
    if (!file) return false;
    out.samples.resize(static_cast<size_t>(out.info.frames * out.info.channels));
    const sf_count_t read =
        sf_read_short(file, out.samples.data(), static_cast<sf_count_t>(out.samples.size()));
    sf_close(file);
    return read == static_cast<sf_count_t>(out.samples.size());
}

} // namespace

TEST(GeneratedResources, AreTheCommittedOnesAndFitWhereTheScreensPutThem) {
    ScratchDir scratch;
    const fs::path dir = scratch.path(), committed = TV_RESOURCE_DIR;
    const std::string command = std::string("'") + TV_RESOURCE_GENERATOR + "' '" + dir.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    // Every committed file is still made (the screens' own tests see a file that went from both places).
    for (const auto& entry : fs::directory_iterator(committed))
        if (const fs::path name = entry.path().filename(); !name.string().starts_with(".")) {
            EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
        }
    for (const auto& entry : fs::directory_iterator(dir)) {
        const fs::path name = entry.path().filename();
        const fs::path kept = committed / name;
        ASSERT_TRUE(fs::exists(kept)) << name << " is made by the generator but not committed";
        if (name.extension() == ".png") {
            platform::Bitmap made, have;
            ASSERT_TRUE(readTestPNG(entry.path(), made)) << name;
            ASSERT_TRUE(readTestPNG(kept, have)) << name;
            // Text edges may round differently between font set-ups; nothing more.
            EXPECT_TRUE(picturesMatch(made, have, 6, made.width * made.height / 200)) << name;
        } else if (name.extension() == ".tga") {
            // Tile maps are written byte by byte: nothing may differ.
            EXPECT_EQ(readBytes(entry.path()), readBytes(kept)) << name;
        } else {
            Sound made, have;
            ASSERT_TRUE(readSound(entry.path(), made)) << name;
            ASSERT_TRUE(readSound(kept, have)) << name;
            EXPECT_EQ(made.info.format, have.info.format) << name;
            EXPECT_EQ(made.info.samplerate, have.info.samplerate) << name;
            ASSERT_EQ(made.samples.size(), have.samples.size()) << name;
            int worst = 0;
            for (size_t i = 0; i < made.samples.size(); ++i)
                worst = std::max(worst, std::abs(made.samples[i] - have.samples[i]));
            EXPECT_LE(worst, 8) << name;
        }
    }

    // Level buttons stand 30 apart, the newest one 1.2 times larger: the heads must not touch. (The sizes of
    // the pictures every screen shows are held by the screens' golden pictures.)
    platform::Bitmap newest;
    ASSERT_TRUE(readTestPNG(dir / "level_stick10.png", newest));
    EXPECT_LE(newest.width, 26);

    // Short sounds, in the container and sample format the game reads.
    for (const char* name : {"Move.caf", "Success.caf", "Win.caf"}) {
        Sound s;
        ASSERT_TRUE(readSound(dir / name, s)) << name;
        EXPECT_EQ(s.info.format, SF_FORMAT_CAF | SF_FORMAT_PCM_16) << name;
        EXPECT_GT(s.info.frames, 0) << name;
        EXPECT_LT(s.info.frames, s.info.samplerate * 5 / 2) << name;
    }
}
