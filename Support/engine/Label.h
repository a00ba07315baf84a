#pragma once
// A text drawn with a platform font into an alpha-only texture and shown as
// a textured node, centred on its position. setString renders a new texture
// when the text changes; the same text again keeps the one there is, so the
// game's board can set its counters every frame for nothing.

#include "engine/TextureNode.h"

#include <cstdint>
#include <string>

class Label : public TextureNode {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(Label); }
    // A text wrapped in a box of `dimensions` points ((0, 0): the text's own
    // one-line size), aligned 0 left, 1 centre, 2 right.
    static RefPtr<Label> labelWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                                         const std::string& fontName, float fontSize);
    // One line, fitted to the text.
    static RefPtr<Label> labelWithString(const std::string& string, const std::string& fontName,
                                         float fontSize);

    // Always raises "LabelInit": a label needs its text and font.
    bool init() override;
    bool initWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                        const std::string& fontName, float fontSize);
    bool initWithString(const std::string& string, const std::string& fontName, float fontSize);

    // Renders the text into a new texture and centres the anchor on it.
    void setString(const std::string& string);
    // The text last set.
    const std::string& string() const { return string_; }

  private:
    ccSize dimensions_;
    int32_t alignment_ = 0;
    std::string fontName_;
    float fontSize_ = 0;
    std::string string_;
};
