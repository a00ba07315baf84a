#include "engine/Label.h"

#include "engine/Errors.h"

RefPtr<Label> Label::labelWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                                     const std::string& fontName, float fontSize) {
    return construct<Label>(
        [&](Label& l) { return l.initWithString(string, dimensions, alignment, fontName, fontSize); });
}

RefPtr<Label> Label::labelWithString(const std::string& string, const std::string& fontName, float fontSize) {
    return construct<Label>([&](Label& l) { return l.initWithString(string, fontName, fontSize); });
}

bool Label::init() {
    ccRaise("LabelInit", "Use initWithString:dimensions:aligment:fontName:font instead");
}

bool Label::initWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                           const std::string& fontName, float fontSize) {
    if (!TextureNode::init()) return false;
    dimensions_ = dimensions;
    alignment_ = alignment;
    fontName_ = fontName;
    fontSize_ = fontSize;
    setString(string);
    return true;
}

bool Label::initWithString(const std::string& string, const std::string& fontName, float fontSize) {
    return initWithString(string, ccSize{0, 0}, 0, fontName, fontSize);
}

void Label::setString(const std::string& string) {
    if (string == string_ && texture()) {
        setTransformAnchor(cpv(contentSize().width * 0.5f, contentSize().height * 0.5f));
        return;
    }
    string_ = string;
    setTexture(nullptr);
    bool boxed = dimensions_.width != 0 || dimensions_.height != 0;
    // The label alone holds the new texture: rendered texts are not cached.
    setTexture(construct<Texture2D>([&](Texture2D& t) {
        return boxed ? t.initWithString(string, dimensions_, alignment_, fontName_, fontSize_)
                     : t.initWithString(string, fontName_, fontSize_);
    }));
    ccSize s = contentSize();
    setTransformAnchor(cpv(s.width * 0.5f, s.height * 0.5f));
}
