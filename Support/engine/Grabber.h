#pragma once
// Renders into a texture instead of the screen: a framebuffer of its own with
// the texture as its colour buffer, bound around the drawing to be captured.

#include "engine/Ref.h"
#include "platform/GL.h"

class Texture2D;

class Grabber : public Ref {
  public:
    static RefPtr<Grabber> grabber();
    bool init();
    ~Grabber() override;

    // Attaches `texture` as the colour buffer. Raises "Frame Grabber" when
    // the framebuffer cannot draw into it.
    void grab(Texture2D* texture);
    // Binds our framebuffer and clears it to transparent black; the clear
    // colour stays transparent black afterwards.
    void beforeRender(Texture2D* texture);
    // Back to the framebuffer bound before.
    void afterRender(Texture2D* texture);

    GLuint fbo() const { return fbo_; }

  private:
    GLuint fbo_ = 0;
    GLint oldFBO_ = 0;
};
