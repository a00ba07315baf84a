#include "engine/TextureAtlas.h"

#include "engine/Errors.h"
#include "engine/TextureMgr.h"
#include "platform/Log.h"

#include <new>

static_assert(sizeof(ccQuad2) == 32 && sizeof(ccQuad3) == 48, "quads are handed to GL as packed floats");

RefPtr<TextureAtlas> TextureAtlas::textureAtlasWithFile(const std::string& file, uint32_t capacity) {
    return construct<TextureAtlas>([&](TextureAtlas& a) { return a.initWithFile(file, capacity); });
}

bool TextureAtlas::initWithFile(const std::string& file, uint32_t capacity) {
    if (capacity > kMaxQuads) {
        platform::ccLogf("TextureAtlas: %u quads are more than 16-bit indices can address (%u at most)",
                         capacity, kMaxQuads);
        return false;
    }
    texture_ = TextureMgr::sharedTextureMgr()->addImage(file);
    if (!allocate(capacity)) {
        platform::ccLog("TextureAtlas: not enough memory");
        return false;
    }
    totalQuads_ = capacity;
    initIndices();
    return true;
}

bool TextureAtlas::allocate(uint32_t capacity) {
    try {
        // Fresh arrays: the old quads are not kept, and a failure leaves nothing half-sized.
        std::vector<ccQuad2>(capacity, ccQuad2{}).swap(texCoordinates_);
        std::vector<ccQuad3>(capacity, ccQuad3{}).swap(vertices_);
        std::vector<GLushort>(static_cast<size_t>(capacity) * 6).swap(indices_);
        return true;
    } catch (const std::bad_alloc&) {
        std::vector<ccQuad2>().swap(texCoordinates_);
        std::vector<ccQuad3>().swap(vertices_);
        std::vector<GLushort>().swap(indices_);
        return false;
    }
}

void TextureAtlas::initIndices() {
    for (uint32_t k = 0; k < totalQuads_; ++k) {
        GLushort* i = &indices_[static_cast<size_t>(k) * 6];
        const auto corner = static_cast<GLushort>(k * 4);
        i[0] = corner;
        i[1] = corner + 1;
        i[2] = corner + 2;
        i[3] = corner + 3;
        i[4] = corner + 2;
        i[5] = corner + 1;
    }
}

void TextureAtlas::updateQuadWithTexture(const ccQuad2* texCoords, const ccQuad3* vertices, uint32_t index) {
    ccAssert(index < totalQuads_, "updateQuadWithTexture: Invalid index");
    ccAssert(texCoords != nullptr && vertices != nullptr, "Argument must be non-nil");
    texCoordinates_[index] = *texCoords;
    vertices_[index] = *vertices;
}

void TextureAtlas::resizeCapacity(uint32_t capacity) {
    if (capacity == totalQuads_) return;
    if (capacity > kMaxQuads) {
        platform::ccLogf("TextureAtlas: %u quads are more than 16-bit indices can address (%u at most)",
                         capacity, kMaxQuads);
        ccRaise("TextureAtlas:TooManyQuads", "Texture Atlas. The capacity is above 16384 quads");
    }
    if (!allocate(capacity)) {
        // Nothing is left to draw from: the atlas holds no quads rather than quads it has no memory for.
        totalQuads_ = 0;
        platform::ccLog("TextureAtlas: not enough memory");
        ccRaise("TextureAtlas:NoMemory", "Texture Atlas. Not enough memory to resize the capacity");
    }
    totalQuads_ = capacity;
    initIndices();
}

void TextureAtlas::drawQuads() {
    drawNumberOfQuads(totalQuads_);
}

void TextureAtlas::drawNumberOfQuads(uint32_t count) {
    // Never hand GL more indices than the arrays hold.
    if (count > totalQuads_) count = totalQuads_;
    // Without its picture (a missing file) an atlas draws nothing, as a sprite without one does.
    if (count == 0 || !texture_) return;
    glBindTexture(GL_TEXTURE_2D, texture_->name());
    glVertexPointer(3, GL_FLOAT, 0, vertices_.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoordinates_.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6), GL_UNSIGNED_SHORT, indices_.data());
}
