#include "engine/LabelAtlas.h"

#include "platform/Log.h"

#include <algorithm>

namespace {
// How many quads a text needs; an atlas holds at most kMaxQuads, and the rest of a longer text is not shown.
uint32_t quadsFor(const std::string& text) {
    if (text.size() <= TextureAtlas::kMaxQuads) return static_cast<uint32_t>(text.size());
    platform::ccLogf("LabelAtlas: only the first %u of %zu characters are shown", TextureAtlas::kMaxQuads,
                     text.size());
    return TextureAtlas::kMaxQuads;
}
} // namespace

RefPtr<LabelAtlas> LabelAtlas::labelAtlasWithString(const std::string& string, const std::string& charMapFile,
                                                    int32_t itemWidth, int32_t itemHeight,
                                                    char startCharMap) {
    return construct<LabelAtlas>([&](LabelAtlas& l) {
        return l.initWithString(string, charMapFile, itemWidth, itemHeight, startCharMap);
    });
}

bool LabelAtlas::initWithString(const std::string& string, const std::string& charMapFile, int32_t itemWidth,
                                int32_t itemHeight, char startCharMap) {
    if (!AtlasNode::initWithTileFile(charMapFile, itemWidth, itemHeight,
                                     static_cast<int32_t>(quadsFor(string))))
        return false;
    string_ = string;
    mapStartChar_ = startCharMap;
    updateAtlasValues();
    return true;
}

void LabelAtlas::setString(const std::string& string) {
    uint32_t needed = quadsFor(string);
    if (textureAtlas_->totalQuads() < needed) textureAtlas_->resizeCapacity(needed);
    string_ = string;
    updateAtlasValues();
}

void LabelAtlas::updateAtlasValues() {
    uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(std::min<size_t>(string_.size(), UINT32_MAX)),
                                        textureAtlas_->totalQuads());
    for (uint32_t i = 0; i < count; ++i) {
        auto c = static_cast<unsigned char>(string_[i]);
        // The tile number is a signed byte: characters below the map's first give negative tiles.
        auto k = static_cast<int32_t>(static_cast<int8_t>(c - static_cast<unsigned char>(mapStartChar_)));
        // Without tiles (no picture) every quad stays empty.
        int32_t column = itemsPerRow_ > 0 ? k % itemsPerRow_ : 0;
        int32_t row = itemsPerRow_ > 0 ? k / itemsPerRow_ : 0;
        float left = static_cast<float>(column) * texStepX_;
        float top = static_cast<float>(row) * texStepY_;
        float right = left + texStepX_;
        float bottom = top + texStepY_;
        ccQuad2 texCoords{left, bottom, right, bottom, left, top, right, top};

        auto x0 = static_cast<float>(static_cast<int64_t>(i) * itemWidth_);
        auto x1 = static_cast<float>(static_cast<int64_t>(i + 1) * itemWidth_);
        auto h = static_cast<float>(itemHeight_);
        ccQuad3 vertices{x0, 0, 0, x1, 0, 0, x0, h, 0, x1, h, 0};
        textureAtlas_->updateQuadWithTexture(&texCoords, &vertices, i);
    }
}

void LabelAtlas::draw() {
    drawQuads(static_cast<uint32_t>(std::min<size_t>(string_.size(), UINT32_MAX)));
}

ccSize LabelAtlas::contentSize() const {
    return {static_cast<float>(static_cast<int64_t>(string_.size()) * itemWidth_),
            static_cast<float>(itemHeight_)};
}
