// The GL view: its framebuffer, sizes, conversions and touch forwarding.

#include "support/EngineTest.h"

#include "engine/Application.h"
#include "platform/GL.h"
#include "platform/Surface.h"

namespace {
class ResizeCounter : public EAGLViewDelegate {
  public:
    void didResizeEAGLSurfaceForView(EAGLView*) override { ++count; }
    int count = 0;
};

class EAGLViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(platform::initVideo(true, &error)) << error;
        Application::sharedApplication().setContentScale(1);
    }
    void TearDown() override { Application::sharedApplication().reset(); }

    GLint depthAttachment(EAGLView* view, GLenum what) {
        GLint value = 0;
        glBindFramebufferOES(GL_FRAMEBUFFER_OES, view->framebuffer());
        glGetFramebufferAttachmentParameterivOES(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, what, &value);
        return value;
    }
};
} // namespace

TEST_F(EAGLViewTest, DepthBufferOnlyWhenAsked) {
    auto plain = construct<EAGLView>([](EAGLView& v) { return v.initWithFrame(ccRectMake(0, 0, 320, 480)); });
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->pixelFormat(), kEAGLColorFormatRGB565);
    EXPECT_EQ(plain->surfaceSize(), (ccSize{320, 480}));
    EXPECT_EQ(depthAttachment(plain, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_OES), 0);
    plain = nullptr;

    auto deep = construct<EAGLView>([](EAGLView& v) {
        return v.initWithFrame(ccRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, GL_DEPTH_COMPONENT16_OES,
                               false);
    });
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(depthAttachment(deep, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_OES), GL_RENDERBUFFER_OES);
    GLint name = depthAttachment(deep, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_OES);
    GLint width = 0, height = 0;
    glBindRenderbufferOES(GL_RENDERBUFFER_OES, static_cast<GLuint>(name));
    glGetRenderbufferParameterivOES(GL_RENDERBUFFER_OES, GL_RENDERBUFFER_WIDTH_OES, &width);
    glGetRenderbufferParameterivOES(GL_RENDERBUFFER_OES, GL_RENDERBUFFER_HEIGHT_OES, &height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 480);
}

TEST_F(EAGLViewTest, TheSurfaceIsMadeAgainOnlyWhenItsSizeChanges) {
    auto view = construct<EAGLView>([](EAGLView& v) { return v.initWithFrame(ccRectMake(0, 0, 320, 480)); });
    ASSERT_NE(view, nullptr);
    ResizeCounter counter;
    view->setDelegate(&counter);
    view->setAutoresizesEAGLSurface(true);
    EXPECT_EQ(counter.count, 0) << "same size: nothing made again";
    view->setAutoresizesEAGLSurface(false);
    view->setFrame(ccRectMake(0, 0, 200, 300));
    EXPECT_EQ(counter.count, 0) << "auto-resizing is off";
    EXPECT_EQ(view->surfaceSize(), (ccSize{320, 480}));
    view->setAutoresizesEAGLSurface(true);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(view->surfaceSize(), (ccSize{200, 300}));
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), view->framebuffer()) << "frames go on into the new surface";
    EXPECT_EQ(glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_OES));
}

TEST_F(EAGLViewTest, ConversionsAndScale) {
    Application::sharedApplication().setContentScale(2);
    auto doubled =
        construct<EAGLView>([](EAGLView& v) { return v.initWithFrame(ccRectMake(0, 0, 320, 480)); });
    ASSERT_NE(doubled, nullptr);
    EXPECT_EQ(doubled->surfaceSize(), (ccSize{320, 480})) << "sizes stay in points";
    platform::Bitmap frame = doubled->readPixels();
    EXPECT_EQ(frame.width, 640);
    EXPECT_EQ(frame.height, 960);
}

TEST_F(EAGLViewTest, TouchesWithoutADelegateAreDropped) {
    auto view = construct<EAGLView>([](EAGLView& v) { return v.initWithFrame(ccRectMake(0, 0, 320, 480)); });
    TouchSet touches;
    touches.add(makeRef<Touch>());
    view->touchesBegan(touches, nullptr); // no delegate: nothing happens, and nothing crashes
}
