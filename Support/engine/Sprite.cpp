#include "engine/Sprite.h"

#include "engine/Errors.h"
#include "engine/TextureMgr.h"

// ---- Animation

RefPtr<Animation> Animation::animationWithName(const std::string& name, float delay,
                                               std::initializer_list<std::string> images) {
    std::vector<std::string> list(images);
    return construct<Animation>([&](Animation& a) { return a.initWithName(name, delay, list); });
}

RefPtr<Animation> Animation::animationWithName(const std::string& name, float delay,
                                               std::initializer_list<Texture2D*> textures) {
    std::vector<Texture2D*> list(textures);
    return construct<Animation>([&](Animation& a) { return a.initWithName(name, delay, list); });
}

bool Animation::initWithName(const std::string& name, float delay) {
    name_ = name;
    delay_ = delay;
    frames_.clear();
    return true;
}

bool Animation::initWithName(const std::string& name, float delay, const std::vector<std::string>& images) {
    if (!initWithName(name, delay)) return false;
    for (const std::string& image : images)
        addFrame(image);
    return true;
}

bool Animation::initWithName(const std::string& name, float delay, const std::vector<Texture2D*>& textures) {
    if (!initWithName(name, delay)) return false;
    for (Texture2D* texture : textures)
        addFrameWithTexture(texture);
    return true;
}

void Animation::addFrame(const std::string& image) {
    addFrameWithTexture(TextureMgr::sharedTextureMgr()->addImage(image));
}

void Animation::addFrameWithTexture(Texture2D* texture) {
    if (texture) frames_.emplace_back(texture);
}

void Animation::setFrames(std::vector<RefPtr<Texture2D>> frames) {
    std::erase(frames, nullptr);
    frames_ = std::move(frames);
}

// ---- Sprite

RefPtr<Sprite> Sprite::spriteWithFile(const std::string& fileName) {
    return construct<Sprite>([&](Sprite& s) { return s.initWithFile(fileName); });
}

RefPtr<Sprite> Sprite::spriteWithTexture(Texture2D* texture) {
    return construct<Sprite>([&](Sprite& s) { return s.initWithTexture(texture); });
}

RefPtr<Sprite> Sprite::spriteWithCGImage(const platform::Bitmap* image) {
    return construct<Sprite>([&](Sprite& s) { return s.initWithCGImage(image); });
}

RefPtr<Sprite> Sprite::spriteWithPVRTCFile(const std::string& fileName, int32_t bpp, bool hasAlpha,
                                           int32_t width) {
    return construct<Sprite>([&](Sprite& s) { return s.initWithPVRTCFile(fileName, bpp, hasAlpha, width); });
}

bool Sprite::initShowing(Texture2D* texture) {
    setTexture(texture);
    ccSize size = contentSize();
    // With the relative anchor the picture is centred on the position and turns about its centre.
    setTransformAnchor(cpv(size.width * 0.5f, size.height * 0.5f));
    animations_.reset();
    return true;
}

bool Sprite::initWithFile(const std::string& fileName) {
    if (!TextureNode::init()) return false;
    return initShowing(TextureMgr::sharedTextureMgr()->addImage(fileName));
}

bool Sprite::initWithTexture(Texture2D* texture) {
    if (!TextureNode::init()) return false;
    return initShowing(texture);
}

bool Sprite::initWithCGImage(const platform::Bitmap* image) {
    if (!TextureNode::init()) return false;
    return initShowing(TextureMgr::sharedTextureMgr()->addCGImage(image));
}

bool Sprite::initWithPVRTCFile(const std::string& fileName, int32_t bpp, bool hasAlpha, int32_t width) {
    if (!TextureNode::init()) return false;
    return initShowing(TextureMgr::sharedTextureMgr()->addPVRTCImage(fileName, bpp, hasAlpha, width));
}

void Sprite::initAnimationDictionary() {
    animations_ = std::make_unique<AnimationDictionary>();
}

void Sprite::addAnimation(Animation* animation) {
    ccAssert(animation != nullptr, "Argument must be non-nil");
    if (!animations_) initAnimationDictionary();
    (*animations_)[animation->name()] = animation;
}

void Sprite::setDisplayFrame(const std::string& animationName, int32_t frameIndex) {
    if (!animations_) initAnimationDictionary();
    auto it = animations_->find(animationName);
    if (it == animations_->end()) {
        setTexture(nullptr); // no such animation: no frame to show
        return;
    }
    const auto& frames = it->second->frames();
    ccAssert(frameIndex >= 0 && static_cast<size_t>(frameIndex) < frames.size(), "Frame index out of range");
    Texture2D* frame = frames[static_cast<size_t>(frameIndex)].get();
    if (frame != texture()) setTexture(frame);
}
