#include "engine/EAGLView.h"

#include "engine/Application.h"
#include "engine/GLStateCache.h"
#include "platform/Log.h"
#include "platform/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

EAGLView::EAGLView() = default;

bool EAGLView::initWithFrame(ccRect frame) {
    return initWithFrame(frame, kEAGLColorFormatRGB565, 0, false);
}

bool EAGLView::initWithFrame(ccRect frame, const std::string& format) {
    return initWithFrame(frame, format, 0, false);
}

bool EAGLView::initWithFrame(ccRect frame, const std::string& format, GLuint depthFormat, bool /*retained*/) {
    setFrame(frame);
    setOpaque(true);
    format_ = format;
    depthFormat_ = depthFormat;
    scale_ = Application::sharedApplication().contentScale();

    std::string error;
    surface_ = platform::GLSurface::create(static_cast<int>(std::lround(frame.size.width)),
                                           static_cast<int>(std::lround(frame.size.height)), scale_, &error);
    if (!surface_) {
        platform::ccLogf("Cannot create the OpenGL ES surface: %s", error.c_str());
        return false;
    }
    if (!createSurface()) {
        surface_.reset();
        return false;
    }
    return true;
}

EAGLView::~EAGLView() {
    if (surface_) destroySurface();
    surface_.reset();
}

void* EAGLView::context() const {
    return surface_ ? surface_->context() : nullptr;
}

namespace {
GLint boundTexture() {
    GLint t = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &t);
    return t;
}

int nextPowerOfTwo(int v) {
    int p = 1;
    while (p < v)
        p <<= 1;
    return p;
}
} // namespace

bool EAGLView::createSurface() {
    if (!surface_ || !surface_->makeCurrent()) return false;
    GLStateCache::redrawNextFrame(); // a new surface shows nothing yet
    ccSize newSize{std::round(bounds().size.width), std::round(bounds().size.height)};
    int pixelWidth = static_cast<int>(newSize.width) * scale_;
    int pixelHeight = static_cast<int>(newSize.height) * scale_;

    if (platform::hasFramebufferObjects()) {
        GLint oldRenderbuffer = 0, oldFramebuffer = 0;
        glGetIntegerv(GL_RENDERBUFFER_BINDING_OES, &oldRenderbuffer);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFramebuffer);

        // Colour storage for the drawable.
        bool npot = platform::hasGLExtension("GL_OES_texture_npot") ||
                    platform::hasGLExtension("GL_ARB_texture_non_power_of_two");
        int textureWidth = npot ? pixelWidth : nextPowerOfTwo(pixelWidth);
        int textureHeight = npot ? pixelHeight : nextPowerOfTwo(pixelHeight);
        GLint oldTexture = boundTexture();
        while (glGetError() != GL_NO_ERROR) {
        }
        glGenTextures(1, &colorTexture_);
        glBindTexture(GL_TEXTURE_2D, colorTexture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        if (format_ == kEAGLColorFormatRGBA8)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         nullptr);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB,
                         GL_UNSIGNED_SHORT_5_6_5, nullptr);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
        if (glGetError() != GL_NO_ERROR) {
            glDeleteTextures(1, &colorTexture_);
            colorTexture_ = 0;
            glBindRenderbufferOES(GL_RENDERBUFFER_OES, static_cast<GLuint>(oldRenderbuffer));
            return false;
        }
        maxS_ = static_cast<float>(pixelWidth) / textureWidth;
        maxT_ = static_cast<float>(pixelHeight) / textureHeight;

        glGenFramebuffersOES(1, &framebuffer_);
        glBindFramebufferOES(GL_FRAMEBUFFER_OES, framebuffer_);
        glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, colorTexture_,
                                  0);

        if (depthFormat_ != 0) {
            glGenRenderbuffersOES(1, &depthBuffer_);
            glBindRenderbufferOES(GL_RENDERBUFFER_OES, depthBuffer_);
            glRenderbufferStorageOES(GL_RENDERBUFFER_OES, depthFormat_, pixelWidth, pixelHeight);
            glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, GL_RENDERBUFFER_OES,
                                         depthBuffer_);
        }
        if (glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES) != GL_FRAMEBUFFER_COMPLETE_OES) {
            glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(oldFramebuffer));
            glBindRenderbufferOES(GL_RENDERBUFFER_OES, static_cast<GLuint>(oldRenderbuffer));
            destroySurface();
            surface_->makeCurrent();
            return false;
        }
        // After a re-creation the new framebuffer stays bound: the old one is gone.
        glBindRenderbufferOES(GL_RENDERBUFFER_OES, static_cast<GLuint>(oldRenderbuffer));
    }
    // With or without framebuffer objects (then the window's own buffers are
    // the drawable), the first surface sets the viewport and scissor.
    size_ = newSize;
    if (!hasBeenCurrent_) {
        glViewport(0, 0, pixelWidth, pixelHeight);
        glScissor(0, 0, pixelWidth, pixelHeight);
        hasBeenCurrent_ = true;
    }

    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        platform::ccLogf("OpenGL error 0x%04X in %s\n", error, "-[EAGLView _createSurface]");
    if (delegate_) delegate_->didResizeEAGLSurfaceForView(this);
    return true;
}

void EAGLView::destroySurface() {
    if (!surface_) return;
    bool wasCurrent = surface_->isCurrent();
    if (!wasCurrent) surface_->makeCurrent();
    if (platform::hasFramebufferObjects()) {
        if (depthFormat_ != 0 && depthBuffer_) glDeleteRenderbuffersOES(1, &depthBuffer_);
        if (framebuffer_) glDeleteFramebuffersOES(1, &framebuffer_);
    }
    if (colorTexture_) glDeleteTextures(1, &colorTexture_);
    depthBuffer_ = framebuffer_ = colorTexture_ = 0;
    // Our context is the only one there is: it stays current for the next surface.
}

void EAGLView::layoutSubviews() {
    if (!autoresize_ || !surface_) return;
    ccSize rounded{std::round(bounds().size.width), std::round(bounds().size.height)};
    if (rounded == size_) return;
    destroySurface();
    createSurface();
}

void EAGLView::setAutoresizesEAGLSurface(bool b) {
    autoresize_ = b;
    if (b) layoutSubviews();
}

void EAGLView::didMoveToWindow() {
    if (surface_ && window() && window()->isVisible()) surface_->show();
}

void EAGLView::setWindowIcon(const platform::Bitmap& icon) {
    if (!surface_ || !icon.isWellFormed()) return;
    std::vector<uint8_t> straight = icon.pixels;
    if (icon.premultiplied) // the window system wants colour apart from alpha
        for (size_t i = 0; i + 3 < straight.size(); i += 4)
            if (uint8_t a = straight[i + 3]; a != 0 && a != 255)
                for (size_t c = 0; c < 3; ++c)
                    straight[i + c] = static_cast<uint8_t>(std::min(255, (straight[i + c] * 255 + a / 2) / a));
    surface_->setIcon(straight.data(), icon.width, icon.height);
}

void EAGLView::setCurrentContext() {
    if (!surface_ || !surface_->makeCurrent())
        platform::ccLogf("Failed to set current context %p in %s\n", context(),
                         "-[EAGLView setCurrentContext]");
}

bool EAGLView::isCurrentContext() const {
    return surface_ && surface_->isCurrent();
}

void EAGLView::clearCurrentContext() {
    if (!platform::GLSurface::clearCurrent())
        platform::ccLogf("Failed to clear current context in %s\n", "-[EAGLView clearCurrentContext]");
}

void EAGLView::swapBuffers() {
    if (!surface_) return;
    if (!surface_->isCurrent()) surface_->makeCurrent();
    bool ok = framebuffer_ ? surface_->present(colorTexture_, maxS_, maxT_) : surface_->presentDefault();
    if (!ok) platform::ccLogf("Failed to swap renderbuffer in %s\n", "-[EAGLView swapBuffers]");
}

cpVect EAGLView::convertPointFromViewToSurface(cpVect point) const {
    ccRect b = bounds();
    return cpv((point.x - b.origin.x) / b.size.width * size_.width,
               (point.y - b.origin.y) / b.size.height * size_.height);
}

ccRect EAGLView::convertRectFromViewToSurface(ccRect rect) const {
    ccRect b = bounds();
    return ccRect{
        convertPointFromViewToSurface(rect.origin),
        {rect.size.width * size_.width / b.size.width, rect.size.height * size_.height / b.size.height}};
}

void EAGLView::touchesBegan(TouchSet& touches, Event* event) {
    if (touchDelegate_) touchDelegate_->touchesBegan(touches, event);
}

void EAGLView::touchesMoved(TouchSet& touches, Event* event) {
    if (touchDelegate_) touchDelegate_->touchesMoved(touches, event);
}

void EAGLView::touchesEnded(TouchSet& touches, Event* event) {
    if (touchDelegate_) touchDelegate_->touchesEnded(touches, event);
}

void EAGLView::touchesCancelled(TouchSet& touches, Event* event) {
    if (touchDelegate_) touchDelegate_->touchesCancelled(touches, event);
}

platform::Bitmap EAGLView::readPixels() const {
    platform::Bitmap bitmap;
    if (!surface_) return bitmap;
    int w = static_cast<int>(size_.width) * scale_, h = static_cast<int>(size_.height) * scale_;
    bitmap.width = w;
    bitmap.height = h;
    bitmap.pixels.resize(static_cast<size_t>(w) * h * 4);
    GLint oldFramebuffer = 0, oldAlignment = 4;
    if (framebuffer_) {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFramebuffer);
        glBindFramebufferOES(GL_FRAMEBUFFER_OES, framebuffer_);
    }
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> upsideDown(bitmap.pixels.size());
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, upsideDown.data());
    glPixelStorei(GL_PACK_ALIGNMENT, oldAlignment);
    if (framebuffer_) glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(oldFramebuffer));
    size_t row = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y)
        std::copy_n(&upsideDown[static_cast<size_t>(h - 1 - y) * row], row,
                    &bitmap.pixels[static_cast<size_t>(y) * row]);
    return bitmap;
}
