#include "engine/Grabber.h"

#include "engine/Errors.h"
#include "engine/GLStateCache.h"
#include "engine/Texture2D.h"
#include "platform/Log.h"

RefPtr<Grabber> Grabber::grabber() {
    return construct<Grabber>([](Grabber& g) { return g.init(); });
}

bool Grabber::init() {
    if (platform::hasFramebufferObjects())
        glGenFramebuffersOES(1, &fbo_);
    else
        platform::ccLog("Grabber: this GL has no framebuffer objects; nothing can be captured");
    return true;
}

Grabber::~Grabber() {
    if (fbo_ && glDeleteFramebuffersOES) glDeleteFramebuffersOES(1, &fbo_);
}

void Grabber::grab(Texture2D* texture) {
    if (!fbo_ || !texture) ccRaise("Frame Grabber", "Could not attach texture to framebuffer");
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFBO_);
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, fbo_);
    glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, texture->name(),
                              0);
    GLenum status = glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES);
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(oldFBO_));
    if (status != GL_FRAMEBUFFER_COMPLETE_OES)
        ccRaise("Frame Grabber", "Could not attach texture to framebuffer");
}

void Grabber::beforeRender(Texture2D*) {
    if (!fbo_) return;
    GLStateCache::stopRecording(); // what the frame recorded goes to the screen, not into the texture
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &oldFBO_);
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, fbo_);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Grabber::afterRender(Texture2D* texture) {
    if (!fbo_) return;
    if (texture) texture->contentChanged();
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(oldFBO_));
}
