#include "engine/Layer.h"

#include "engine/Director.h"
#include "engine/Errors.h"
#include "platform/GL.h"

// ---- Accelerometer

Accelerometer& Accelerometer::sharedAccelerometer() {
    static Accelerometer a;
    return a;
}

void Accelerometer::deliver(const Acceleration& reading) {
    if (delegate_) delegate_->accelerometer(this, reading);
}

// ---- Layer

RefPtr<Layer> Layer::node() {
    return nodeOf<Layer>();
}

bool Layer::init() {
    if (!CocosNode::init()) return false;
    ccSize s = Director::sharedDirector()->winSize();
    setRelativeTransformAnchor(false);
    setTransformAnchor(cpv(s.width / 2, s.height / 2));
    isTouchEnabled_ = false;
    isAccelerometerEnabled_ = false;
    return true;
}

void Layer::onEnter() {
    // Registered before the children enter, so touch-enabled children come first in the handler list.
    if (isTouchEnabled_) Director::sharedDirector()->addEventHandler(this);
    CocosNode::onEnter();
    if (isAccelerometerEnabled_) Accelerometer::sharedAccelerometer().setDelegate(this);
}

void Layer::onExit() {
    if (isTouchEnabled_) Director::sharedDirector()->removeEventHandler(this);
    if (isAccelerometerEnabled_) Accelerometer::sharedAccelerometer().setDelegate(nullptr);
    CocosNode::onExit();
}

// ---- ColorLayer

RefPtr<ColorLayer> ColorLayer::layerWithColor(uint32_t color, float width, float height) {
    return construct<ColorLayer>([&](ColorLayer& l) {
        return l.initWithColor(color, static_cast<int32_t>(width), static_cast<int32_t>(height));
    });
}

RefPtr<ColorLayer> ColorLayer::layerWithColor(uint32_t color) {
    return construct<ColorLayer>([&](ColorLayer& l) { return l.initWithColor(color); });
}

bool ColorLayer::init() {
    ccRaise("ColorLayerInit", "Use ColorLayer initWithColor instead");
}

bool ColorLayer::initWithColor(uint32_t color, int32_t width, int32_t height) {
    if (!Layer::init()) return false;
    changeColor(color);
    initWidth(static_cast<float>(width), static_cast<float>(height));
    return true;
}

bool ColorLayer::initWithColor(uint32_t color) {
    ccSize s = Director::sharedDirector()->winSize();
    return initWithColor(color, static_cast<int32_t>(s.width), static_cast<int32_t>(s.height));
}

void ColorLayer::initWidth(float w, float h) {
    const float v[8] = {0, 0, w, 0, 0, h, w, h};
    std::copy(v, v + 8, squareVertices_);
}

void ColorLayer::changeWidth(float w) {
    squareVertices_[2] = squareVertices_[6] = w;
}

void ColorLayer::changeHeight(float h) {
    squareVertices_[5] = squareVertices_[7] = h;
}

void ColorLayer::changeColor(uint32_t color) {
    color_ = color;
    for (int i = 0; i < 4; ++i) {
        squareColors_[i * 4 + 0] = static_cast<uint8_t>(color >> 24);
        squareColors_[i * 4 + 1] = static_cast<uint8_t>(color >> 16);
        squareColors_[i * 4 + 2] = static_cast<uint8_t>(color >> 8);
        squareColors_[i * 4 + 3] = static_cast<uint8_t>(color);
    }
}

void ColorLayer::setOpacity(uint8_t opacity) {
    changeColor((color_ & 0xffffff00u) | opacity);
}

void ColorLayer::draw() {
    glVertexPointer(2, GL_FLOAT, 0, squareVertices_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, squareColors_);
    glEnableClientState(GL_COLOR_ARRAY);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

// ---- MultiplexLayer

RefPtr<MultiplexLayer> MultiplexLayer::layerWithLayers(std::initializer_list<Layer*> layers) {
    return construct<MultiplexLayer>([&](MultiplexLayer& m) { return m.initWithLayers(layers); });
}

bool MultiplexLayer::initWithLayers(std::initializer_list<Layer*> layers) {
    ccAssert(layers.size() > 0 && *layers.begin() != nullptr, "Argument must be non-nil");
    if (!Layer::init()) return false;
    // The list ends at the first missing layer, as a nil-terminated list does.
    for (Layer* l : layers) {
        if (!l) break;
        layers_.emplace_back(l);
    }
    enabledLayer_ = 0;
    add(layers_[0]);
    return true;
}

void MultiplexLayer::switchTo(uint32_t n) {
    switchTo(n, false);
}

void MultiplexLayer::switchToAndReleaseMe(uint32_t n) {
    switchTo(n, true);
}

void MultiplexLayer::switchTo(uint32_t n, bool releaseCurrent) {
    if (n >= layers_.size())
        ccRaise("MultiplexLayerInvalidIndex", "Invalid index in MultiplexLayer switchTo message");
    RefPtr<Layer> current = layers_[enabledLayer_];
    if (current) remove(current);
    if (releaseCurrent) layers_[enabledLayer_] = nullptr;
    enabledLayer_ = n;
    // A released entry is not switched to again: there is nothing to show.
    if (layers_[n]) add(layers_[n]);
}
