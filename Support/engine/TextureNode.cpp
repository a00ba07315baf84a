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

TintedDrawing::TintedDrawing(const Texture2D* texture, uint8_t r, uint8_t g, uint8_t b, uint8_t opacity)
    : premultiplied_(texture && texture->hasPremultipliedAlpha()), blendSource_(GL_SRC_ALPHA),
      blendDestination_(GL_ONE_MINUS_SRC_ALPHA) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    // The default texture environment multiplies the picture by the tint and its alpha by the opacity.
    if (premultiplied_) {
        glGetIntegerv(GL_BLEND_SRC, &blendSource_);
        glGetIntegerv(GL_BLEND_DST, &blendDestination_);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        auto faded = [opacity](uint8_t c) { return static_cast<GLubyte>((c * opacity + 127) / 255); };
        glColor4ub(faded(r), faded(g), faded(b), opacity);
    } else {
        glColor4ub(r, g, b, opacity);
    }
}

TintedDrawing::~TintedDrawing() {
    if (premultiplied_)
        glBlendFunc(static_cast<GLenum>(blendSource_), static_cast<GLenum>(blendDestination_));
    glColor4ub(255, 255, 255, 255);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void TextureNode::draw() {
    TintedDrawing drawing(texture_.get(), r_, g_, b_, opacity_);
    if (texture_) texture_->drawAtPoint(cpvzero);
}
