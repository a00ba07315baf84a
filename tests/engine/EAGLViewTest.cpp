// The GL view: its framebuffer, made again on a resize, and touches with nobody to take them.

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

    // The kind of the view's depth attachment, and whether its framebuffer is complete.
    static std::pair<GLint, bool> depthAttachment(EAGLView* view) {
        GLint type = -1;
        glBindFramebufferOES(GL_FRAMEBUFFER_OES, view->framebuffer());
        glGetFramebufferAttachmentParameterivOES(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES,
                                                 GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_OES, &type);
        return {type, glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES) == GL_FRAMEBUFFER_COMPLETE_OES};
    }
};
} // namespace

TEST_F(EAGLViewTest, DepthBufferOnlyWhenAskedAndTheSurfaceMadeAgainOnlyWhenItsSizeChanges) {
    auto view = construct<EAGLView>([](EAGLView& v) { return v.initWithFrame(ccRectMake(0, 0, 320, 480)); });
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->pixelFormat(), kEAGLColorFormatRGB565);
    EXPECT_EQ(depthAttachment(view), std::pair(0, true));
    TouchSet touches;
    touches.add(makeRef<Touch>());
    view->touchesBegan(touches, nullptr); // no delegate: nothing happens, and nothing crashes

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
    EXPECT_EQ(depthAttachment(view).second, true);
    view = nullptr;

    auto deep = construct<EAGLView>([](EAGLView& v) {
        return v.initWithFrame(ccRectMake(0, 0, 320, 480), kEAGLColorFormatRGBA8, GL_DEPTH_COMPONENT16_OES,
                               false);
    });
    ASSERT_NE(deep, nullptr);
    // A depth buffer of another size than the colour would leave the framebuffer incomplete.
    EXPECT_EQ(depthAttachment(deep), std::pair(GL_RENDERBUFFER_OES, true));
}
