#pragma once
// Sprites: the textured nodes every picture on screen is drawn with, made
// from image files through the texture cache, able to show a frame of one of
// their named animations. Animation: a named list of frames and a delay.

#include "engine/Ref.h"
#include "engine/Texture2D.h"
#include "engine/TextureNode.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
struct Bitmap;
}

// Frames (textures) shown one after another, `delay` seconds each.
class Animation : public Ref {
  public:
    // Each image file is loaded through the texture cache; a file that cannot
    // be loaded is left out.
    static RefPtr<Animation> animationWithName(const std::string& name, float delay,
                                               std::initializer_list<std::string> images);
    static RefPtr<Animation> animationWithName(const std::string& name, float delay,
                                               std::initializer_list<Texture2D*> textures);

    bool initWithName(const std::string& name, float delay);
    bool initWithName(const std::string& name, float delay, const std::vector<std::string>& images);
    bool initWithName(const std::string& name, float delay, const std::vector<Texture2D*>& textures);

    // Loads the file through the texture cache and appends its texture (nothing when it cannot be loaded).
    void addFrame(const std::string& image);
    // Appends the texture (nothing for none).
    void addFrameWithTexture(Texture2D* texture);

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    float delay() const { return delay_; }
    void setDelay(float delay) { delay_ = delay; }
    const std::vector<RefPtr<Texture2D>>& frames() const { return frames_; }
    void setFrames(std::vector<RefPtr<Texture2D>> frames);

  private:
    std::string name_;
    float delay_ = 0;
    std::vector<RefPtr<Texture2D>> frames_;
};

class Sprite : public TextureNode {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(Sprite); }
    using AnimationDictionary = std::map<std::string, RefPtr<Animation>>;

    // A file that cannot be loaded gives a sprite without a texture, which draws nothing.
    static RefPtr<Sprite> spriteWithFile(const std::string& fileName);
    static RefPtr<Sprite> spriteWithTexture(Texture2D* texture);
    static RefPtr<Sprite> spriteWithCGImage(const platform::Bitmap* image);
    static RefPtr<Sprite> spriteWithPVRTCFile(const std::string& fileName, int32_t bpp, bool hasAlpha,
                                              int32_t width);

    bool initWithFile(const std::string& fileName);
    bool initWithTexture(Texture2D* texture);
    bool initWithCGImage(const platform::Bitmap* image);
    bool initWithPVRTCFile(const std::string& fileName, int32_t bpp, bool hasAlpha, int32_t width);

    // Stores the animation under its name, replacing one of the same name.
    void addAnimation(Animation* animation);
    // Shows frame `frameIndex` of the named animation. An unknown name leaves
    // the sprite without a texture; an index outside the frames is an
    // assertion failure. The transform anchor stays where it was.
    void setDisplayFrame(const std::string& animationName, int32_t frameIndex);
    void initAnimationDictionary();
    // Null until the first animation is added or looked up.
    const AnimationDictionary* animations() const { return animations_.get(); }

  private:
    // Shows `texture` and centres the transform anchor on it.
    bool initShowing(Texture2D* texture);

    std::unique_ptr<AnimationDictionary> animations_;
};
