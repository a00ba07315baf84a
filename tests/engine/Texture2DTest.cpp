#include "engine/Texture2D.h"
#include "Scenes.h"
#include "engine/Errors.h"
#include "platform/GL.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

namespace {

RefPtr<Texture2D> textureOf(const platform::Bitmap& b) {
    return construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(&b); });
}

platform::Bitmap plain(int w, int h, RGBA c = {255, 255, 255, 255}, bool alpha = true, int bits = 8) {
    platform::Bitmap b = makeBitmap(w, h, [c](int, int) { return c; });
    b.hasAlpha = alpha, b.bitsPerComponent = bits;
    return b;
}

// Draws its texture stretched over a rectangle.
class TextureRectNode : public CocosNode {
  public:
    RefPtr<Texture2D> texture;
    ccRect rect;
    void draw() override {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
        texture->drawInRect(rect);
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
};

RefPtr<CocosNode> rectNode(RefPtr<Texture2D> texture, ccRect rect) {
    auto node = nodeOf<TextureRectNode>();
    node->texture = texture, node->rect = rect;
    return node;
}

GLint texParameter(GLuint name, GLenum which) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

using Texture2DTest = EngineTest;

} // namespace

TEST_F(Texture2DTest, PicturesGetPowerOfTwoSidesAndHalveAbove1024) {
    struct {
        int w, h;
        uint32_t texW, texH;
        ccSize content;
    } cases[] = {
        {100, 60, 128, 64, {100, 60}},
        {64, 64, 64, 64, {64, 64}},
        {1, 1, 1, 1, {1, 1}},
        {3, 5, 4, 8, {3, 5}},
        {1024, 1024, 1024, 1024, {1024, 1024}},
        {1025, 10, 1024, 8, {512.5f, 5}},
        {2000, 300, 1024, 256, {1000, 150}},
        {2000, 1, 1024, 1, {1000, 0.5f}},
    };
    for (const auto& e : cases) {
        SCOPED_TRACE(std::to_string(e.w) + "x" + std::to_string(e.h));
        RefPtr<Texture2D> t = textureOf(plain(e.w, e.h));
        ASSERT_TRUE(t);
        EXPECT_EQ(std::tuple(t->pixelsWide(), t->pixelsHigh(), t->contentSize()),
                  std::tuple(e.texW, e.texH, e.content));
    }
    EXPECT_FALSE(textureOf(platform::Bitmap{}));
    EXPECT_FALSE(construct<Texture2D>([](Texture2D& t) { return t.initWithImage(nullptr); }));
    platform::Bitmap lying = plain(4, 4);
    lying.height = 400; // more rows than pixels
    EXPECT_FALSE(textureOf(lying));
    EXPECT_EQ(std::count(logLines().begin(), logLines().end(), "Image is Null"), 3);
}

TEST_F(Texture2DTest, PixelFormatsFollowThePictureAndPicturesDrawTheRightWayUp) {
    EXPECT_EQ(textureOf(plain(8, 8, {1, 2, 3, 255}, false))->pixelFormat(), Texture2DPixelFormatRGBA8888);
    EXPECT_EQ(textureOf(plain(8, 8, {1, 2, 3, 4}, true, 5))->pixelFormat(), Texture2DPixelFormatRGBA8888);

    // Fewer than 8 bits without alpha: RGB565, colours kept.
    platform::Bitmap fiveBit = makeBitmap(10, 10, [](int x, int) {
        return x < 5 ? RGBA{255, 128, 0, 255} : RGBA{0, 64, 255, 255};
    });
    fiveBit.hasAlpha = false, fiveBit.bitsPerComponent = 5;
    RefPtr<Texture2D> rgb565 = textureOf(fiveBit);
    EXPECT_EQ(rgb565->pixelFormat(), Texture2DPixelFormatRGB565);
    // A mask becomes A8: white is inked, black empty, and it takes the colour it is drawn with.
    platform::Bitmap mask = makeBitmap(10, 10, [](int x, int) {
        return x < 5 ? RGBA{255, 255, 255, 255} : RGBA{0, 0, 0, 255};
    });
    mask.isMask = true, mask.hasAlpha = false;
    RefPtr<Texture2D> a8 = textureOf(mask);
    EXPECT_EQ(a8->pixelFormat(), Texture2DPixelFormatA8);

    // Too large: halved. Left half red, right half green, the top 100 rows blue.
    RefPtr<Texture2D> halved = textureOf(makeBitmap(2000, 300, [](int x, int y) {
        return y < 100 ? RGBA{0, 0, 255, 255} : x < 1000 ? RGBA{255, 0, 0, 255} : RGBA{0, 255, 0, 255};
    }));

    showScene(sceneOf(0x808080ff, {rectNode(rgb565, ccRectMake(0, 0, 100, 100)),
                                   rectNode(a8, ccRectMake(0, 200, 100, 100)),
                                   rectNode(halved, ccRectMake(0, 400, 320, 48))}));
    EXPECT_TRUE(colorNear(pixelAt(20, 50), {255, 128, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(80, 50), {0, 64, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(20, 250), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(80, 250), {128, 128, 128, 255}));
    EXPECT_TRUE(colorNear(pixelAt(40, 408), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(280, 408), {0, 255, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 444), {0, 0, 255, 255}));
}

TEST_F(Texture2DTest, RawUploadsKeepTheCallersBindingAndRefuseUnknownFormats) {
    GLuint mine = 0;
    glGenTextures(1, &mine);
    glBindTexture(GL_TEXTURE_2D, mine);
    uint8_t pixels[2 * 3 * 2] = {}; // 2 x 3 at 2 bytes a pixel: rows are not 4-byte aligned
    auto t = construct<Texture2D>([&](Texture2D& t) {
        return t.initWithData(pixels, Texture2DPixelFormatRGB565, 2, 3, ccSize{2, 3});
    });
    EXPECT_EQ(t->pixelsHigh(), 3u);
    for (int32_t format : {0, 4, -1})
        EXPECT_THAT(
            [&] {
                construct<Texture2D>([&](Texture2D& t) {
                    return t.initWithData(pixels, format, 2, 2, ccSize{2, 2});
                });
            },
            Fails<AssertionFailure>(""));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), mine);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &mine);
}

TEST_F(Texture2DTest, FilterSettingsStickToEachTextureAsItIsMade) {
    EXPECT_EQ(Texture2D::texParameters(),
              (ccTexParams{GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE}));
    Texture2D::saveTexParameters();
    Texture2D::setAliasTexParameters();
    RefPtr<Texture2D> pixelated = textureOf(plain(4, 4));
    Texture2D::restoreTexParameters();
    RefPtr<Texture2D> smooth = textureOf(plain(4, 4));
    EXPECT_EQ(texParameter(pixelated->name(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(smooth->name(), GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    ccTexParams tiled{GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT};
    Texture2D::setTexParameters(&tiled);
    Texture2D::setAntiAliasTexParameters(); // filters only
    EXPECT_EQ(Texture2D::texParameters(), (ccTexParams{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT}));
    Texture2D::restoreTexParameters();
}

TEST_F(Texture2DTest, TextTexturesAreAlphaOnlyBoxesOfPowerOfTwoSides) {
    auto text = [](ccSize box) {
        return construct<Texture2D>(
            [&](Texture2D& t) { return t.initWithString("Level 1", box, 0, "Marker Felt", 24); });
    };
    RefPtr<Texture2D> boxed = text({280, 60});
    EXPECT_EQ(boxed->pixelFormat(), Texture2DPixelFormatA8);
    EXPECT_EQ(boxed->pixelsWide() * 1000 + boxed->pixelsHigh(), 512064u);
    EXPECT_EQ(boxed->contentSize(), (ccSize{280, 60}));
    EXPECT_EQ(text({20, 25})->pixelsWide() * 1000 + text({20, 25})->pixelsHigh(), 32032u);
    EXPECT_EQ(text({1e9f, 10})->pixelsWide(), 4096u); // an absurd box is cut down, with a log line
    EXPECT_TRUE(logged("Text box side 1e+09 is too large; using 4096"));
    RefPtr<Texture2D> empty = text({0, -5});
    EXPECT_EQ(empty->pixelsWide(), 1u);
    EXPECT_EQ(empty->contentSize(), (ccSize{0, 0}));

    RefPtr<Texture2D> fitted =
        construct<Texture2D>([](Texture2D& t) { return t.initWithString("Objective", "Marker Felt", 26); });
    ccSize size = fitted->contentSize();
    EXPECT_EQ(size.width, std::ceil(size.width));
    EXPECT_GT(size.width, 60);
    EXPECT_GE(fitted->pixelsWide(), size.width);
    EXPECT_LT(fitted->pixelsWide(), 2 * size.width);
}
