#pragma once
// The view that carries the OpenGL ES drawing surface: the context, a
// framebuffer with a colour buffer and an optional depth buffer, presenting
// finished frames, and handing touches to a touch delegate.

#include "engine/Touch.h"
#include "engine/View.h"
#include "platform/GL.h"
#include "platform/Image.h"

#include <memory>
#include <string>

namespace platform {
class GLSurface;
}

inline const std::string kEAGLColorFormatRGB565 = "RGB565";
inline const std::string kEAGLColorFormatRGBA8 = "RGBA8";

class EAGLTouchDelegate {
  public:
    virtual ~EAGLTouchDelegate() = default;
    virtual void touchesBegan(TouchSet& touches, Event* event) = 0;
    virtual void touchesMoved(TouchSet& touches, Event* event) = 0;
    virtual void touchesEnded(TouchSet& touches, Event* event) = 0;
    virtual void touchesCancelled(TouchSet& touches, Event* event) = 0;
};

class EAGLView;
class EAGLViewDelegate {
  public:
    virtual ~EAGLViewDelegate() = default;
    virtual void didResizeEAGLSurfaceForView(EAGLView* view) = 0;
};

class EAGLView : public View {
  public:
    EAGLView();
    bool initWithFrame(ccRect frame);
    bool initWithFrame(ccRect frame, const std::string& format);
    bool initWithFrame(ccRect frame, const std::string& format, GLuint depthFormat, bool retained);
    ~EAGLView() override;

    EAGLTouchDelegate* touchDelegate() const { return touchDelegate_; }
    void setTouchDelegate(EAGLTouchDelegate* d) { touchDelegate_ = d; }
    EAGLViewDelegate* delegate() const { return delegate_; }
    void setDelegate(EAGLViewDelegate* d) { delegate_ = d; }

    void* context() const;
    GLuint depthFormat() const { return depthFormat_; }
    const std::string& pixelFormat() const { return format_; }
    GLuint framebuffer() const { return framebuffer_; }
    ccSize surfaceSize() const { return size_; }
    // Pixels per point of the surface.
    int contentScale() const { return scale_; }
    // The colour buffer's size in pixels.
    ccSize pixelSize() const { return ccSize{size_.width * scale_, size_.height * scale_}; }
    // The window's icon, from a decoded picture.
    void setWindowIcon(const platform::Bitmap& icon);
    bool autoresizesSurface() const { return autoresize_; }
    void setAutoresizesSurface(bool b) { autoresize_ = b; }
    void setAutoresizesEAGLSurface(bool b);

    void layoutSubviews() override;
    void didMoveToWindow() override;

    void setCurrentContext();
    bool isCurrentContext() const;
    void clearCurrentContext();
    // Presents the frame drawn into the framebuffer.
    void swapBuffers();

    cpVect convertPointFromViewToSurface(cpVect point) const;
    ccRect convertRectFromViewToSurface(ccRect rect) const;

    void touchesBegan(TouchSet& touches, Event* event) override;
    void touchesMoved(TouchSet& touches, Event* event) override;
    void touchesEnded(TouchSet& touches, Event* event) override;
    void touchesCancelled(TouchSet& touches, Event* event) override;

    // The colour buffer as it stands, top row first, in pixels.
    platform::Bitmap readPixels() const;

  private:
    bool createSurface();
    void destroySurface();

    std::string format_;
    GLuint depthFormat_ = 0;
    bool autoresize_ = false;
    std::unique_ptr<platform::GLSurface> surface_; // the window and the context
    GLuint framebuffer_ = 0;
    GLuint colorTexture_ = 0; // colour storage: a texture, so a frame can be shown by drawing it
    GLuint depthBuffer_ = 0;
    float maxS_ = 1, maxT_ = 1;
    ccSize size_;
    int scale_ = 1;
    bool hasBeenCurrent_ = false;
    EAGLViewDelegate* delegate_ = nullptr;       // weak
    EAGLTouchDelegate* touchDelegate_ = nullptr; // weak
};
