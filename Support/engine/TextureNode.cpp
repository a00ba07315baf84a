#include "engine/TextureNode.h"

#include "engine/GLStateCache.h"

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
    // The picture's lower-left corner at the origin, covering its content size.
    const Texture2D* t = texture_.get();
    // In points: a denser picture covers the same size (the division is exact at density 1).
    float w = t ? static_cast<float>(t->pixelsWide()) * t->maxS() / t->contentScale() : 0;
    float h = t ? static_cast<float>(t->pixelsHigh()) * t->maxT() / t->contentScale() : 0;
    float s = t ? t->maxS() : 0, top = t ? t->maxT() : 0;
    // t = maxT is the picture's bottom row: the first rows in memory are its top.
    const GLfloat corners[] = {0, 0, w, 0, 0, h, w, h};
    const GLfloat coordinates[] = {0, top, s, top, 0, 0, s, 0};
    GLStateCache::drawQuad(t, {r_, g_, b_, opacity_}, corners, coordinates);
}
