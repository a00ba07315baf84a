#include "engine/Errors.h"
#include "engine/Layer.h"
#include "engine/Texture2D.h"
#include "engine/TextureNode.h"
#include "platform/GL.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <regex>

namespace {

RefPtr<Texture2D> textureOf(const platform::Bitmap& b) {
    return construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(&b); });
}

platform::Bitmap plain(int w, int h, RGBA c = {255, 255, 255, 255}) {
    return makeBitmap(w, h, [c](int, int) { return c; });
}

// Draws its texture stretched over a rectangle (or at a point when the rectangle is empty).
class TextureRectNode : public CocosNode {
  public:
    RefPtr<Texture2D> texture;
    ccRect rect;
    void draw() override {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
        if (rect.size.width > 0)
            texture->drawInRect(rect);
        else
            texture->drawAtPoint(rect.origin);
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
};

GLint texParameter(GLuint name, GLenum which) {
    GLint bound = 0, value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return value;
}

class Texture2DTest : public EngineTest {
  protected:
    // Shows `node` alone over a dark grey screen and draws one frame.
    void show(CocosNode* node) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(node);
        runScene(scene);
        step();
    }
};

} // namespace

TEST_F(Texture2DTest, PicturesGetPowerOfTwoSidesAndHalveAbove1024) {
    struct Expect {
        int w, h;
        uint32_t texW, texH;
        float contentW, contentH;
    } cases[] = {
        {100, 60, 128, 64, 100, 60},  {64, 64, 64, 64, 64, 64},         {1, 1, 1, 1, 1, 1},
        {3, 5, 4, 8, 3, 5},           {1024, 1024, 1024, 1024, 1024, 1024}, {1025, 10, 1024, 8, 512.5f, 5},
        {2000, 300, 1024, 256, 1000, 150}, {2000, 1, 1024, 1, 1000, 0.5f},
    };
    for (const Expect& e : cases) {
        RefPtr<Texture2D> t = textureOf(plain(e.w, e.h));
        ASSERT_TRUE(t);
        SCOPED_TRACE(std::to_string(e.w) + "x" + std::to_string(e.h));
        EXPECT_EQ(t->pixelsWide(), e.texW);
        EXPECT_EQ(t->pixelsHigh(), e.texH);
        EXPECT_EQ(t->contentSize(), (ccSize{e.contentW, e.contentH}));
        EXPECT_FLOAT_EQ(t->maxS(), e.contentW / e.texW);
        EXPECT_FLOAT_EQ(t->maxT(), e.contentH / e.texH);
        EXPECT_NE(t->name(), 0u);
    }
    RefPtr<Texture2D> t = textureOf(plain(100, 60));
    EXPECT_FLOAT_EQ(t->maxS(), 0.78125f);
    EXPECT_FLOAT_EQ(t->maxT(), 0.9375f);
    EXPECT_TRUE(std::regex_match(t->description(),
                                 std::regex("<Texture2D = [0-9A-F]{8,} \\| Name = [0-9]+ \\| Dimensions = 128x64 \\| "
                                            "Coordinates = \\(0\\.78, 0\\.94\\)>")))
        << t->description();
}

TEST_F(Texture2DTest, APictureTooLargeIsDrawnAtHalfScaleTheRightWayUp) {
    // Left half red, right half green; the top 100 rows blue.
    auto colour = [](int x, int y) {
        return y < 100 ? RGBA{0, 0, 255, 255} : x < 1000 ? RGBA{255, 0, 0, 255} : RGBA{0, 255, 0, 255};
    };
    RefPtr<Texture2D> t = textureOf(makeBitmap(2000, 300, colour));
    auto node = nodeOf<TextureRectNode>();
    node->texture = t;
    node->rect = ccRectMake(0, 0, 320, 48); // the whole picture, squeezed
    show(node);
    EXPECT_TRUE(colorNear(pixelAt(40, 8), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(280, 8), {0, 255, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 44), {0, 0, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 60), {0, 0, 0, 255})); // nothing above the rectangle
}

TEST_F(Texture2DTest, DrawAtPointCoversTheContentSizeOnly) {
    auto node = nodeOf<TextureRectNode>();
    node->texture = textureOf(makeBitmap(100, 60, [](int, int y) {
        return y == 0 ? RGBA{255, 0, 0, 255} : RGBA{255, 255, 255, 255}; // red top row
    }));
    node->rect = ccRectMake(20, 30, 0, 0);
    show(node);
    EXPECT_TRUE(colorNear(pixelAt(21, 31), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(118, 86), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(60, 89), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(121, 50), {0, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(60, 91), {0, 0, 0, 255}));
}

TEST_F(Texture2DTest, ThePixelFormatFollowsThePicture) {
    platform::Bitmap opaque = plain(8, 8, {10, 200, 30, 255});
    opaque.hasAlpha = false;
    EXPECT_EQ(textureOf(opaque)->pixelFormat(), Texture2DPixelFormatRGBA8888);
    EXPECT_EQ(textureOf(plain(8, 8, {1, 2, 3, 4}))->pixelFormat(), Texture2DPixelFormatRGBA8888);
    platform::Bitmap mask = plain(8, 8, {200, 200, 200, 255});
    mask.isMask = true, mask.hasAlpha = false;
    EXPECT_EQ(textureOf(mask)->pixelFormat(), Texture2DPixelFormatA8);
    platform::Bitmap fiveBit = opaque;
    fiveBit.bitsPerComponent = 5;
    EXPECT_EQ(textureOf(fiveBit)->pixelFormat(), Texture2DPixelFormatRGB565);
    fiveBit.hasAlpha = true; // with alpha it stays full colour
    EXPECT_EQ(textureOf(fiveBit)->pixelFormat(), Texture2DPixelFormatRGBA8888);
}

TEST_F(Texture2DTest, RGB565AndMaskTexturesDrawTheirColours) {
    platform::Bitmap fiveBit = makeBitmap(10, 10, [](int x, int) {
        return x < 5 ? RGBA{255, 128, 0, 255} : RGBA{0, 64, 255, 255};
    });
    fiveBit.hasAlpha = false, fiveBit.bitsPerComponent = 5;
    auto colours = nodeOf<TextureRectNode>();
    colours->texture = textureOf(fiveBit);
    colours->rect = ccRectMake(0, 0, 100, 100);
    // A mask: white half inked, black half empty; it takes the colour it is drawn with.
    platform::Bitmap mask = makeBitmap(10, 10, [](int x, int) { return x < 5 ? RGBA{255, 255, 255, 255} : RGBA{0, 0, 0, 255}; });
    mask.isMask = true, mask.hasAlpha = false;
    auto masked = nodeOf<TextureRectNode>();
    masked->texture = textureOf(mask);
    masked->rect = ccRectMake(0, 200, 100, 100);
    RefPtr<Scene> scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(0x808080ff), -1);
    scene->add(colours);
    scene->add(masked);
    runScene(scene);
    step();
    EXPECT_TRUE(colorNear(pixelAt(20, 50), {255, 128, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(80, 50), {0, 64, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(20, 250), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(80, 250), {128, 128, 128, 255}));
}

TEST_F(Texture2DTest, RawUploadsKeepTheCallersBindingAndRefuseUnknownFormats) {
    GLuint mine = 0;
    glGenTextures(1, &mine);
    glBindTexture(GL_TEXTURE_2D, mine);
    uint8_t pixels[2 * 3 * 2] = {};
    auto t = construct<Texture2D>([&](Texture2D& t) {
        return t.initWithData(pixels, Texture2DPixelFormatRGB565, 2, 3, ccSize{2, 3});
    });
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), mine);
    EXPECT_EQ(t->pixelsWide(), 2u);
    EXPECT_FLOAT_EQ(t->maxT(), 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    for (int32_t format : {0, 4, -1}) {
        try {
            construct<Texture2D>([&](Texture2D& t) { return t.initWithData(pixels, format, 2, 2, ccSize{2, 2}); });
            ADD_FAILURE() << "format " << format << " was taken";
        } catch (const AssertionFailure& e) {
            EXPECT_STREQ(e.what(), "");
        }
    }
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), mine);
    glDeleteTextures(1, &mine);
}

TEST_F(Texture2DTest, FilterSettingsStickToEachTextureAsItIsMade) {
    EXPECT_EQ(Texture2D::texParameters(), (ccTexParams{GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE}));
    Texture2D::saveTexParameters();
    Texture2D::setAliasTexParameters();
    RefPtr<Texture2D> pixelated = textureOf(plain(4, 4));
    Texture2D::restoreTexParameters();
    RefPtr<Texture2D> smooth = textureOf(plain(4, 4));
    EXPECT_EQ(texParameter(pixelated->name(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(pixelated->name(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(smooth->name(), GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    ccTexParams repeat{GL_NEAREST, GL_LINEAR, GL_REPEAT, GL_REPEAT};
    Texture2D::setTexParameters(&repeat);
    Texture2D::setAntiAliasTexParameters(); // filters only
    EXPECT_EQ(Texture2D::texParameters(), (ccTexParams{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT}));
    RefPtr<Texture2D> tiled = textureOf(plain(4, 4));
    EXPECT_EQ(texParameter(tiled->name(), GL_TEXTURE_WRAP_T), GL_REPEAT);
    Texture2D::restoreTexParameters(); // back to the saved defaults for the other tests
    EXPECT_EQ(Texture2D::texParameters().wrapS, static_cast<uint32_t>(GL_CLAMP_TO_EDGE));
}

TEST_F(Texture2DTest, MissingPicturesGiveNoTexture) {
    EXPECT_FALSE(textureOf(platform::Bitmap{}));
    EXPECT_FALSE(construct<Texture2D>([](Texture2D& t) { return t.initWithImage(nullptr); }));
    platform::Bitmap lying = plain(4, 4);
    lying.height = 400; // more rows than pixels
    EXPECT_FALSE(textureOf(lying));
    EXPECT_EQ(std::count(logLines().begin(), logLines().end(), "Image is Null"), 3);
}

TEST_F(Texture2DTest, TextTexturesAreAlphaOnlyBoxesOfPowerOfTwoSides) {
    auto text = [](ccSize box, const char* s = "Level 1") {
        return construct<Texture2D>(
            [&](Texture2D& t) { return t.initWithString(s, box, 0, "Marker Felt", 24); });
    };
    RefPtr<Texture2D> boxed = text({280, 60});
    EXPECT_EQ(boxed->pixelFormat(), Texture2DPixelFormatA8);
    EXPECT_EQ(boxed->pixelsWide(), 512u);
    EXPECT_EQ(boxed->pixelsHigh(), 64u);
    EXPECT_EQ(boxed->contentSize(), (ccSize{280, 60}));
    EXPECT_EQ(text({20, 25})->pixelsWide(), 32u);
    EXPECT_EQ(text({20, 25})->pixelsHigh(), 32u);
    RefPtr<Texture2D> empty = text({0, -5});
    EXPECT_EQ(empty->pixelsWide(), 1u);
    EXPECT_EQ(empty->contentSize(), (ccSize{0, 0}));

    RefPtr<Texture2D> fitted =
        construct<Texture2D>([](Texture2D& t) { return t.initWithString("Objective", "Marker Felt", 26); });
    ccSize size = fitted->contentSize();
    EXPECT_EQ(size.width, std::ceil(size.width));
    EXPECT_GT(size.width, 60);
    EXPECT_GT(size.height, 20);
    EXPECT_GE(fitted->pixelsWide(), size.width);
    EXPECT_LT(fitted->pixelsWide(), 2 * size.width);
}

TEST_F(Texture2DTest, TextTakesTheColourItIsDrawnWith) {
    auto node = TextureNode::node();
    node->setTexture(construct<Texture2D>(
        [](Texture2D& t) { return t.initWithString("IIIIIIII", ccSize{200, 60}, 1, "DejaVu Sans", 48); }));
    node->setRGB(255, 255, 0);
    node->setPosition(cpv(60, 200));
    show(node);
    platform::Bitmap frame = readFrame();
    int yellow = 0, other = 0;
    for (int x = 60; x < 260; ++x)
        for (int y = 480 - 260; y < 480 - 200; ++y) {
            const uint8_t* p = frame.pixel(x, y);
            if (p[0] > 240 && p[1] > 240 && p[2] < 8) ++yellow;
            else if (std::abs(p[0] - p[1]) > 8 || p[2] > 8) ++other;
        }
    EXPECT_GT(yellow, 50);
    EXPECT_EQ(other, 0); // ink is yellow, fading into the background, never another colour
}

TEST_F(Texture2DTest, PVRTCDataIsSizedAndRefusedWhenTooShort) {
    std::vector<uint8_t> data(32, 0);
    RefPtr<Texture2D> t = construct<Texture2D>(
        [&](Texture2D& t) { return t.initWithPVRTCData(data.data(), 0, 2, true, 8, data.size()); });
    ASSERT_TRUE(t); // 8 x 8 at 2 bits is 16 bytes, raised to the 32 of the smallest level
    EXPECT_EQ(t->pixelsWide(), 8u);
    EXPECT_EQ(t->contentSize(), (ccSize{8, 8}));
    EXPECT_EQ(t->maxS(), 1.0f);
    EXPECT_EQ(t->pixelFormat(), Texture2DPixelFormatNone);
    while (glGetError() != GL_NO_ERROR) {
    } // this GL has no PVRTC: the upload itself is refused

    EXPECT_FALSE(construct<Texture2D>(
        [&](Texture2D& t) { return t.initWithPVRTCData(data.data(), 0, 4, false, 8, 31); }));
    EXPECT_FALSE(construct<Texture2D>(
        [&](Texture2D& t) { return t.initWithPVRTCData(data.data(), 0, 4, false, 1 << 20, data.size()); }));
    EXPECT_FALSE(construct<Texture2D>(
        [&](Texture2D& t) { return t.initWithPVRTCData(data.data(), 0, 3, false, 8, data.size()); }));
}

TEST_F(Texture2DTest, ColoursBecomeTheGLColourOrClearColour) {
    GLfloat c[4];
    Color::grey(0.5f, 0.25f).setOpenGLColor();
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    EXPECT_FLOAT_EQ(c[2], 0.5f);
    EXPECT_FLOAT_EQ(c[3], 0.25f);
    Color::rgba(0.1f, 0.2f, 0.3f, 0.4f).setOpenGLClearColor();
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
    EXPECT_NEAR(c[1], 0.2f, 1e-6);
    EXPECT_NEAR(c[3], 0.4f, 1e-6);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
}
