#include "engine/PVRTexture.h"
#include "engine/Texture2D.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <cstring>

namespace {

struct PVRHeader {
    uint32_t width = 64, height = 64;
    uint32_t flags = 25; // PVRTC 4 bits per pixel
    uint32_t dataLength = 2816;
    uint32_t alphaMask = 0;
    char tag[4] = {'P', 'V', 'R', '!'};
};

// A PVR file: the 52-byte header and `dataBytes` bytes of level data (the declared length by default).
std::vector<uint8_t> pvrFile(const PVRHeader& h, size_t dataBytes = SIZE_MAX) {
    std::vector<uint8_t> file(52, 0);
    auto put = [&](size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(0, 52), put(4, h.height), put(8, h.width), put(16, h.flags), put(20, h.dataLength), put(40, h.alphaMask);
    std::memcpy(&file[44], h.tag, 4);
    size_t n = dataBytes == SIZE_MAX ? h.dataLength : dataBytes;
    for (size_t i = 0; i < n; ++i) file.push_back(static_cast<uint8_t>(i * 7));
    return file;
}

std::vector<size_t> levelSizes(const PVRTexture& t) {
    std::vector<size_t> sizes;
    for (auto& level : t.imageData()) sizes.push_back(level.size());
    return sizes;
}

class PVRTextureTest : public EngineTest {
  protected:
    ScratchDir dir;
};

} // namespace

TEST_F(PVRTextureTest, LevelsNeverHaveFewerThanTwoByTwoBlocks) {
    auto reader = makeRef<PVRTexture>();
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{2048, 512, 128, 32, 32, 32, 32}));
    EXPECT_EQ(reader->width(), 64u);
    EXPECT_EQ(reader->internalFormat(), kGLCompressedRGBAPVRTC4);
    EXPECT_FALSE(reader->hasAlpha());
    // Level 1 starts right after level 0.
    EXPECT_EQ(reader->imageData()[1][0], static_cast<uint8_t>(2048 * 7));

    PVRHeader twoBits;
    twoBits.width = twoBits.height = 32, twoBits.flags = 0xABCD18; // only the low byte is the type
    twoBits.dataLength = 256 + 64 + 32 + 32, twoBits.alphaMask = 0xff;
    ASSERT_TRUE(reader->unpackPVRData(pvrFile(twoBits)));
    EXPECT_EQ(levelSizes(*reader), (std::vector<size_t>{256, 64, 32, 32}));
    EXPECT_EQ(reader->internalFormat(), kGLCompressedRGBAPVRTC2);
    EXPECT_TRUE(reader->hasAlpha());
}

TEST_F(PVRTextureTest, WrongTagsTypesAndShortFilesAreRefusedLeavingTheLevelsAlone) {
    auto reader = makeRef<PVRTexture>();
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    const std::vector<size_t> before = levelSizes(*reader);

    for (int i = 0; i < 4; ++i) {
        PVRHeader h;
        h.tag[i] = 'x';
        EXPECT_FALSE(reader->unpackPVRData(pvrFile(h))) << "tag byte " << i;
    }
    for (uint32_t type : {0u, 23u, 26u, 0x1900u}) {
        PVRHeader h;
        h.flags = type;
        EXPECT_FALSE(reader->unpackPVRData(pvrFile(h))) << "type " << type;
    }
    std::vector<uint8_t> whole = pvrFile({});
    for (size_t length : {size_t{0}, size_t{51}}) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_FALSE(reader->unpackPVRData(cut)) << length;
    }
    EXPECT_FALSE(reader->unpackPVRData(pvrFile({}, 2000)));     // less data than declared
    PVRHeader ragged;
    ragged.dataLength = 2800; // the last level would run past the declared data
    EXPECT_FALSE(reader->unpackPVRData(pvrFile(ragged)));
    PVRHeader huge;
    huge.dataLength = 0xFFFFFFF0u;
    EXPECT_FALSE(reader->unpackPVRData(pvrFile(huge, 64)));

    EXPECT_EQ(levelSizes(*reader), before);
    EXPECT_EQ(reader->width(), 64u);
    EXPECT_TRUE(logged("PVR file of 51 bytes is shorter than its header"));
}

TEST_F(PVRTextureTest, AFailedUploadIsLoggedAndLeavesNoGLTexture) {
    // This GL has no PVRTC: every upload fails as a real driver's would on a bad level.
    auto reader = makeRef<PVRTexture>();
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    EXPECT_FALSE(reader->createGLTexture());
    EXPECT_TRUE(logged("Error uploading compressed texture level: 0. glError: 0x0500"));
    GLuint name = reader->name();
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    reader = nullptr;
    EXPECT_FALSE(glIsTexture(name));

    // With retainName the GL texture outlives the reader.
    reader = makeRef<PVRTexture>();
    ASSERT_TRUE(reader->unpackPVRData(pvrFile({})));
    reader->createGLTexture();
    name = reader->name();
    reader->setRetainName(true);
    reader = nullptr;
    EXPECT_TRUE(glIsTexture(name));
    glDeleteTextures(1, &name);
}

TEST_F(PVRTextureTest, FilesAndFileURLsAreReadOtherURLsAreNot) {
    std::string path = dir.write("a b.pvr", pvrFile({}));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfFile(path));
    EXPECT_EQ(std::count(logLines().begin(), logLines().end(),
                         "Error uploading compressed texture level: 0. glError: 0x0500"),
              1);
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("file://" + dir.path() + "/a%20b.pvr"));
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("file://localhost" + dir.path() + "/a%20b.pvr"));
    EXPECT_EQ(std::count(logLines().begin(), logLines().end(),
                         "Error uploading compressed texture level: 0. glError: 0x0500"),
              3);
    clearLog();
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfURL("http://example.com/a.pvr"));
    EXPECT_TRUE(logLines().empty());
    EXPECT_FALSE(PVRTexture::pvrTextureWithContentsOfFile(dir.file("missing.pvr")));
    EXPECT_TRUE(logged("Cannot read the PVR file " + dir.file("missing.pvr")));

    // A file without levels needs no upload.
    PVRHeader empty;
    empty.dataLength = 0;
    RefPtr<PVRTexture> nothing = PVRTexture::pvrTextureWithContentsOfFile(dir.write("e.pvr", pvrFile(empty)));
    ASSERT_TRUE(nothing);
    EXPECT_EQ(nothing->name(), 0u);
}

TEST_F(PVRTextureTest, ATextureOfAnUnusableFileHasNoNameAndNoSize) {
    std::string path = dir.write("bad.pvr", pvrFile({}, 100));
    RefPtr<Texture2D> t = construct<Texture2D>([&](Texture2D& t) { return t.initWithPVRTCFile(path); });
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name(), 0u);
    EXPECT_EQ(t->contentSize(), (ccSize{0, 0}));
    EXPECT_EQ(t->maxS(), 1.0f);
    EXPECT_EQ(t->pixelFormat(), Texture2DPixelFormatNone);
}
