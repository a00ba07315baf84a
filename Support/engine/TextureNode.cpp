#include "engine/TextureNode.h"

#include "platform/GL.h"

RefPtr<TextureNode> TextureNode::node() {
    return nodeOf<TextureNode>();
}

bool TextureNode::init() {
    if (!CocosNode::init()) return false;
    opacity_ = r_ = g_ = b_ = 255;
    return true;
}

void TextureNode::setRGB(uint8_t r, uint8_t g, uint8_t b) {
    r_ = r;
    g_ = g;
    b_ = b;
}

ccSize TextureNode::contentSize() const {
    return texture_ ? texture_->contentSize() : ccSize{};
}

void TextureNode::draw() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    // The default texture environment multiplies the picture by the tint and its alpha by the opacity.
    // Pictures carry premultiplied colour: blending them by their alpha again
    // would darken every soft edge, so they blend with (1, 1 - alpha) and a
    // tint premultiplied by the opacity, and the blend function is put back.
    bool premultiplied = texture_ && texture_->hasPremultipliedAlpha();
    GLint blendSource = GL_SRC_ALPHA, blendDestination = GL_ONE_MINUS_SRC_ALPHA;
    if (premultiplied) {
        glGetIntegerv(GL_BLEND_SRC, &blendSource);
        glGetIntegerv(GL_BLEND_DST, &blendDestination);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        auto faded = [this](uint8_t c) { return static_cast<GLubyte>((c * opacity_ + 127) / 255); };
        glColor4ub(faded(r_), faded(g_), faded(b_), opacity_);
    } else {
        glColor4ub(r_, g_, b_, opacity_);
    }
    if (texture_) texture_->drawAtPoint(cpvzero);
    if (premultiplied) glBlendFunc(static_cast<GLenum>(blendSource), static_cast<GLenum>(blendDestination));
    glColor4ub(255, 255, 255, 255);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
