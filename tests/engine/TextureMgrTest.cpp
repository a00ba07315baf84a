#include "engine/TextureMgr.h"
#include "engine/Errors.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <filesystem>
#include <regex>

namespace {

class TextureMgrTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        // The director's frame-rate counter loaded its picture at attach: start from an empty cache.
        cache()->removeAllTextures();
        platform::setResourceDirectory(resources.path());
        writePlainPicture(resources.file("a.png"), 10, 10, {255, 0, 0, 255});
        std::filesystem::create_directories(resources.file("images"));
        writePlainPicture(resources.file("images/b.png"), 3, 5, {0, 0, 255, 255});
    }
    TextureMgr* cache() { return TextureMgr::sharedTextureMgr(); }
    std::vector<std::string> keys() {
        std::vector<std::string> k;
        for (auto& entry : cache()->textures())
            k.push_back(entry.first);
        return k;
    }
    ScratchDir resources;
};

#define EXPECT_ASSERTION(statement, message) EXPECT_THAT([&] { statement; }, Fails<AssertionFailure>(message))

} // namespace

TEST_F(TextureMgrTest, PicturesAreLoadedOnceAndCachedUnderTheNameAsGiven) {
    Texture2D* a = cache()->addImage("a.png");
    ASSERT_TRUE(a);
    std::filesystem::remove(resources.file("a.png"));
    EXPECT_EQ(cache()->addImage("a.png"), a); // not read again
    EXPECT_EQ(cache()->addImage("images/b.png")->contentSize(), (ccSize{3, 5}));
    EXPECT_EQ(keys(), (std::vector<std::string>{"a.png", "images/b.png"}));

    EXPECT_EQ(cache()->addImage("missing.png"), nullptr);
    EXPECT_TRUE(logged("Cannot find missing.png in the resources"));
    EXPECT_TRUE(logged("Image is Null"));
    std::vector<uint8_t> half = readBytes(resources.file("images/b.png"));
    half.resize(half.size() / 2);
    resources.write("half.png", half);
    EXPECT_EQ(cache()->addImage("half.png"), nullptr);
    EXPECT_EQ(cache()->addImage("gone.pvr"), nullptr);
    EXPECT_EQ(keys().size(), 2u);
    EXPECT_ASSERTION(cache()->addImage(""), "TextureMgr: fileimage MUST not be nill");
}

TEST_F(TextureMgrTest, RelativePathsResolveInsideTheResourcesOnly) {
    EXPECT_EQ(cache()->fullPathFromRelativePath("a.png"), resources.file("a.png"));
    EXPECT_EQ(cache()->fullPathFromRelativePath("images/b.png"), resources.file("images/b.png"));
    EXPECT_EQ(cache()->fullPathFromRelativePath("/images//./b.png"), resources.file("images/b.png"));
    for (const char* none : {"b.png", "images", "", "../a.png", "images/../a.png", "missing.png"})
        EXPECT_EQ(cache()->fullPathFromRelativePath(none), "") << none;
}

TEST_F(TextureMgrTest, PVRFilesAreCachedUnderTheirFullPathWhateverTheCaseOfTheirSuffix) {
    resources.write("stick.PVR", pvrFile({})); // 64 x 64 at 4 bits
    Texture2D* t = cache()->addImage("stick.PVR");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name(), 0u); // this GL cannot upload PVRTC: an empty texture, cached all the same
    EXPECT_EQ(keys(), (std::vector<std::string>{resources.file("stick.PVR")}));
    EXPECT_EQ(cache()->addImage("stick.PVR"), t);
    EXPECT_EQ(cache()->addPVRTCImage(resources.file("stick.PVR")), t);

    // Raw PVRTC data: one square level, cached by name.
    resources.write("raw.pvrtc", std::vector<uint8_t>(32, 0));
    resources.write("short.pvrtc", std::vector<uint8_t>(100, 0));
    Texture2D* raw = cache()->addPVRTCImage("raw.pvrtc", 2, true, 8);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->contentSize(), (ccSize{8, 8}));
    EXPECT_EQ(cache()->addPVRTCImage("raw.pvrtc", 4, false, 64), raw);
    EXPECT_EQ(cache()->addPVRTCImage("short.pvrtc", 4, false, 16), nullptr); // 128 bytes needed
    EXPECT_EQ(cache()->addPVRTCImage("missing.pvrtc", 4, false, 8), nullptr);
    EXPECT_EQ(keys().size(), 2u);
    EXPECT_ASSERTION(cache()->addPVRTCImage("raw.pvrtc", 3, false, 8),
                     "TextureMgr: bpp must be either 2 or 4");
    EXPECT_ASSERTION(cache()->addPVRTCImage("", 4, false, 8), "TextureMgr: fileimage MUST not be nill");
    EXPECT_ASSERTION(cache()->addPVRTCImage(""), "TextureMgr: fileimage MUST not be nill");
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(TextureMgrTest, PicturesInMemoryAreKeyedByTheirWholeAddress) {
    platform::Bitmap picture = makeBitmap(4, 4, [](int, int) { return RGBA{1, 2, 3, 255}; });
    Texture2D* t = cache()->addCGImage(&picture);
    ASSERT_TRUE(t);
    std::string key = keys().at(0);
    EXPECT_TRUE(std::regex_match(key, std::regex("[0-9A-F]{8,}"))) << key;
    EXPECT_EQ(std::stoull(key, nullptr, 16), reinterpret_cast<uintptr_t>(&picture));
    EXPECT_EQ(cache()->addCGImage(&picture), t);
    platform::Bitmap empty;
    EXPECT_EQ(cache()->addCGImage(&empty), nullptr);
    EXPECT_EQ(keys().size(), 1u);
    EXPECT_ASSERTION(cache()->addCGImage(nullptr), "TextureMgr: image MUST not be nill");
}

TEST_F(TextureMgrTest, RemovingForgetsTexturesThatOthersKeepAlive) {
    RefPtr<Texture2D> a = cache()->addImage("a.png");
    cache()->addImage("images/b.png");
    EXPECT_EQ(a->retainCount(), 2u);
    cache()->removeTexture(a);
    EXPECT_EQ(a->retainCount(), 1u);
    EXPECT_EQ(keys(), (std::vector<std::string>{"images/b.png"}));
    EXPECT_ASSERTION(cache()->removeTexture(nullptr), "TextureMgr: tex MUST not be nill");
    cache()->removeAllTextures();
    EXPECT_TRUE(keys().empty());
    EXPECT_TRUE(glIsTexture(a->name()));
    EXPECT_NE(cache()->addImage("a.png"), a.get()); // loaded afresh
}
