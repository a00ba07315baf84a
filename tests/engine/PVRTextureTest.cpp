#include "engine/PVRTexture.h"
#include "engine/Texture2D.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

namespace {

std::vector<size_t> levelSizes(const PVRTexture& t) {
    std::vector<size_t> sizes;
    for (auto& level : t.imageData())
        sizes.push_back(level.size());
    return sizes;
}

const char* kUploadError = "Error uploading compressed texture level: 0. glError: 0x0500";

using PVRTextureTest = EngineTest;

} // namespace

TEST_F(PVRTextureTest, LevelsNeverHaveFewerThanTwoByTwoBlocksAndBadFilesAreRefused) {
    auto reader = makeRef<PVRTexture>();
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{2048, 512, 128, 32, 32, 32, 32}));
    EXPECT_EQ(reader->imageData()[1][0], static_cast<uint8_t>(2048 * 7)); // level 1 follows level 0
    EXPECT_EQ(reader->internalFormat(), kGLCompressedRGBAPVRTC4);
    EXPECT_FALSE(reader->hasAlpha());

    PVRHeader twoBits{32, 32, 0xABCD18, 256 + 64 + 32 + 32, 0xff}; // only the flags' low byte is the type
    ASSERT_TRUE(reader->unpackPVRData(pvrFile(twoBits)));
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{256, 64, 32, 32}));
    EXPECT_EQ(reader->internalFormat(), kGLCompressedRGBAPVRTC2);
    EXPECT_TRUE(reader->hasAlpha());

    // The chain ends at one pixel: a huge declared length makes no more levels.
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({1, 1, 25, 32 * 1000})));
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{32}));

    // Wrong tags and types and short files are refused, leaving the levels alone.
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    std::vector<std::vector<uint8_t>> refused;
    for (int i = 0; i < 4; ++i) {
        PVRHeader h;
        h.tag[i] = 'x';
        refused.push_back(pvrFile(h));
    }
    for (uint32_t type : {0u, 24u + 2, 0x1900u})
        refused.push_back(pvrFile({64, 64, type}));
    refused.push_back({});
    refused.push_back(pvrFile({}));
    refused.back().resize(51);
    refused.push_back(pvrFile({}, 2000));                      // less data than declared
    refused.push_back(pvrFile({64, 64, 25, 2800}));            // the last level would run past the data
    refused.push_back(pvrFile({64, 64, 25, 0xFFFFFFF0u}, 64)); // an absurd length
    for (size_t i = 0; i < refused.size(); ++i)
        EXPECT_FALSE(reader->unpackPVRData(refused[i])) << i;
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{2048, 512, 128, 32, 32, 32, 32}));
    EXPECT_TRUE(logged("PVR file of 51 bytes is shorter than its header"));
}

TEST_F(PVRTextureTest, AFailedUploadIsLoggedAndLeavesNoGLTextureUnlessItsNameIsRetained) {
    for (bool retain : {false, true}) {
        auto reader = makeRef<PVRTexture>();
        ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
        EXPECT_FALSE(reader->createGLTexture()); // this GL has no PVRTC
        GLuint name = reader->name();
        ASSERT_TRUE(glIsTexture(name));
        reader->setRetainName(retain);
        reader = nullptr;
        EXPECT_EQ(glIsTexture(name), retain);
        if (retain) glDeleteTextures(1, &name);
    }
    EXPECT_TRUE(logged(kUploadError));
}

TEST_F(PVRTextureTest, FilesAndFileURLsAreReadOtherURLsAreNot) {
    ScratchDir dir;
    std::string path = dir.write("a b.pvr", pvrFile({}));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfFile(path));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("file://" + dir.path() + "/a%20b.pvr"));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("file://localhost" + dir.path() + "/a%20b.pvr"));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("http://example.com/a.pvr"));
    EXPECT_EQ(std::count(logLines().begin(), logLines().end(), kUploadError), 3); // all but http reached GL
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfFile(dir.file("missing.pvr")));
    EXPECT_TRUE(logged("Cannot read the PVR file " + dir.file("missing.pvr")));

    RefPtr<PVRTexture> noLevels =
        PVRTexture::pvrTextureWithContentsOfFile(dir.write("e.pvr", pvrFile({8, 8, 25, 0})));
    ASSERT_TRUE(noLevels);
    EXPECT_EQ(noLevels->name(), 0u);

    // A texture of a file that cannot be used has no name and no size.
    RefPtr<Texture2D> t = construct<Texture2D>([&](Texture2D& t) { return t.initWithPVRTCFile(path); });
    EXPECT_EQ(t->name(), 0u);
    EXPECT_EQ(t->contentSize(), (ccSize{0, 0}));
    EXPECT_EQ(t->pixelFormat(), Texture2DPixelFormatNone);
}
