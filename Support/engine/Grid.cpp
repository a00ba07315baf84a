#include "engine/Grid.h"

#include "engine/Camera.h"
#include "engine/Director.h"
#include "engine/Errors.h"
#include "platform/GL.h"
#include "platform/Log.h"

#include <algorithm>
#include <cinttypes>

namespace {

uint32_t powerOfTwoAtLeast(uint32_t v) {
    uint32_t p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

} // namespace

// ---- GridBase

ccSize GridBase::capturePixelSize() {
    // The colour buffer is the view's size in points times its pixel density
    // (the size as the grid sees it: turned in landscape).
    Director* director = Director::sharedDirector();
    float scale = director->contentScaleFactor();
    ccSize points = director->winSize();
    return {points.width * scale, points.height * scale};
}

uint32_t GridBase::renderTargetSide() {
    ccSize pixels = capturePixelSize();
    float side = std::max({pixels.width, pixels.height, 1.0f});
    return powerOfTwoAtLeast(static_cast<uint32_t>(side));
}

bool GridBase::initWithSize(ccGridSize gridSize) {
    ccAssert(gridSize.x >= 1 && gridSize.y >= 1, kGridSizeMessage);
    Director* director = Director::sharedDirector();
    ccSize win = director->winSize();
    active_ = false;
    reuseGrid_ = 0;
    gridSize_ = gridSize;
    if (!texture_) {
        uint32_t side = renderTargetSide();
        int32_t format = director->pixelFormat() == kColorFormat565 ? Texture2DPixelFormatRGB565
                                                                    : Texture2DPixelFormatRGBA8888;
        size_t bytes = static_cast<size_t>(side) * side * (format == Texture2DPixelFormatRGB565 ? 2 : 4);
        std::vector<uint8_t> zeros(bytes, 0);
        texture_ = makeRef<Texture2D>();
        if (!texture_->initWithData(zeros.data(), format, side, side, win)) {
            texture_ = nullptr;
            return false;
        }
    }
    ccSize pixels = capturePixelSize();
    pixelsPerPointX_ = win.width > 0 ? pixels.width / win.width : 1.0f;
    pixelsPerPointY_ = win.height > 0 ? pixels.height / win.height : 1.0f;
    grabber_ = Grabber::grabber();
    grabber_->grab(texture_);
    step_ = cpv(win.width / static_cast<float>(gridSize.x), win.height / static_cast<float>(gridSize.y));
    return true;
}

std::string GridBase::description() const {
    return platform::ccFormat("<%s = %08" PRIXPTR " | Dimensions = %ix%i>", className(),
                    reinterpret_cast<uintptr_t>(this), gridSize_.x, gridSize_.y);
}

void GridBase::applyLandscape() {
    Director::sharedDirector()->applyLandscape();
}

void GridBase::set2DProjection() {
    ccSize win = Director::sharedDirector()->winSize();
    ccSize pixels = capturePixelSize();
    glLoadIdentity();
    glViewport(0, 0, static_cast<GLsizei>(pixels.width), static_cast<GLsizei>(pixels.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, static_cast<float>(static_cast<int32_t>(win.width)), 0,
             static_cast<float>(static_cast<int32_t>(win.height)), -100, 100);
    glMatrixMode(GL_MODELVIEW);
}

void GridBase::set3DProjection() {
    Director::sharedDirector()->set3Dprojection();
}

void GridBase::beforeDraw() {
    set2DProjection();
    grabber_->beforeRender(texture_);
}

void GridBase::afterDraw(Camera* camera) {
    grabber_->afterRender(texture_);
    set3DProjection();
    applyLandscape();
    if (camera) {
        // The camera's view is loaded even when it was never moved.
        bool dirty = camera->dirty();
        camera->setDirty(true);
        camera->locate();
        camera->setDirty(dirty);
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_->name());
    blit();
    glDisable(GL_TEXTURE_2D);
}

void GridBase::blit() {
    ccRaise("GridBase", "Abstract class needs implementation");
}

void GridBase::reuse() {
    ccRaise("GridBase", "Abstract class needs implementation");
}

bool GridBase::isKindOfThis(const GridBase* grid) const {
    return grid != nullptr;
}

// ---- GridMesh

void GridMesh::blit() {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices_.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoordinates_.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_SHORT, indices_.data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void GridMesh::reuse() {
    if (reuseGrid_ <= 0) return;
    originalVertices_ = vertices_;
    --reuseGrid_;
}

// ---- Grid3D

RefPtr<Grid3D> Grid3D::gridWithSize(ccGridSize gridSize) {
    return construct<Grid3D>([&](Grid3D& g) { return g.initWithSize(gridSize); });
}

bool Grid3D::sizeFits(ccGridSize s) {
    return s.x >= 1 && s.y >= 1 && (int64_t{s.x} + 1) * (int64_t{s.y} + 1) <= kMaxGridVertices;
}

bool Grid3D::initWithSize(ccGridSize gridSize) {
    ccAssert(sizeFits(gridSize), kGridSizeMessage);
    if (!GridBase::initWithSize(gridSize)) return false;
    calculateVertexPoints();
    return true;
}

void Grid3D::calculateVertexPoints() {
    const int32_t gx = gridSize_.x, gy = gridSize_.y;
    const size_t count = static_cast<size_t>(gx + 1) * static_cast<size_t>(gy + 1);
    vertices_.assign(count * 3, 0.0f);
    texCoordinates_.assign(count * 2, 0.0f);
    indices_.assign(static_cast<size_t>(gx) * static_cast<size_t>(gy) * 6, 0);
    for (int32_t i = 0; i <= gx; ++i)
        for (int32_t j = 0; j <= gy; ++j) {
            size_t v = static_cast<size_t>(i * (gy + 1) + j);
            float x = static_cast<float>(i) * step_.x, y = static_cast<float>(j) * step_.y;
            vertices_[v * 3] = x;
            vertices_[v * 3 + 1] = y;
            texCoordinates_[v * 2] = texS(x);
            texCoordinates_[v * 2 + 1] = texT(y);
        }
    for (int32_t i = 0; i < gx; ++i)
        for (int32_t j = 0; j < gy; ++j) {
            auto at = [gy](int32_t a, int32_t b) { return static_cast<uint16_t>(a * (gy + 1) + b); };
            uint16_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            uint16_t* out = &indices_[static_cast<size_t>(j * gx + i) * 6];
            const uint16_t cell[6] = {a, b, d, b, c, d};
            std::copy(cell, cell + 6, out);
        }
    originalVertices_ = vertices_;
}

bool Grid3D::isKindOfThis(const GridBase* grid) const {
    return dynamic_cast<const Grid3D*>(grid) != nullptr;
}

ccVertex3D Grid3D::vertex(ccGridSize pos) const {
    const float* v = &vertices_[indexOf(pos)];
    return {v[0], v[1], v[2]};
}

ccVertex3D Grid3D::originalVertex(ccGridSize pos) const {
    const float* v = &originalVertices_[indexOf(pos)];
    return {v[0], v[1], v[2]};
}

void Grid3D::setVertex(ccGridSize pos, ccVertex3D vertex) {
    float* v = &vertices_[indexOf(pos)];
    v[0] = vertex.x;
    v[1] = vertex.y;
    v[2] = vertex.z;
}

// ---- TiledGrid3D

RefPtr<TiledGrid3D> TiledGrid3D::gridWithSize(ccGridSize gridSize) {
    return construct<TiledGrid3D>([&](TiledGrid3D& g) { return g.initWithSize(gridSize); });
}

bool TiledGrid3D::sizeFits(ccGridSize s) {
    return s.x >= 1 && s.y >= 1 && int64_t{s.x} * int64_t{s.y} * 4 <= kMaxGridVertices;
}

bool TiledGrid3D::initWithSize(ccGridSize gridSize) {
    ccAssert(sizeFits(gridSize), kGridSizeMessage);
    if (!GridBase::initWithSize(gridSize)) return false;
    calculateVertexPoints();
    return true;
}

void TiledGrid3D::calculateVertexPoints() {
    const int32_t gx = gridSize_.x, gy = gridSize_.y;
    const size_t tiles = static_cast<size_t>(gx) * static_cast<size_t>(gy);
    vertices_.assign(tiles * 12, 0.0f);
    texCoordinates_.assign(tiles * 8, 0.0f);
    indices_.assign(tiles * 6, 0);
    for (int32_t i = 0; i < gx; ++i)
        for (int32_t j = 0; j < gy; ++j) {
            size_t t = static_cast<size_t>(i * gy + j);
            float x1 = static_cast<float>(i) * step_.x, x2 = x1 + step_.x;
            float y1 = static_cast<float>(j) * step_.y, y2 = y1 + step_.y;
            const float corners[12] = {x1, y1, 0, x2, y1, 0, x1, y2, 0, x2, y2, 0};
            std::copy(corners, corners + 12, &vertices_[t * 12]);
            const float tex[8] = {texS(x1), texT(y1), texS(x2), texT(y1),
                                  texS(x1), texT(y2), texS(x2), texT(y2)};
            std::copy(tex, tex + 8, &texCoordinates_[t * 8]);
        }
    for (size_t t = 0; t < tiles; ++t) {
        auto q = static_cast<uint16_t>(t * 4);
        const uint16_t quad[6] = {q,
                                  static_cast<uint16_t>(q + 1),
                                  static_cast<uint16_t>(q + 2),
                                  static_cast<uint16_t>(q + 1),
                                  static_cast<uint16_t>(q + 2),
                                  static_cast<uint16_t>(q + 3)};
        std::copy(quad, quad + 6, &indices_[t * 6]);
    }
    originalVertices_ = vertices_;
}

bool TiledGrid3D::isKindOfThis(const GridBase* grid) const {
    return dynamic_cast<const TiledGrid3D*>(grid) != nullptr;
}

namespace {
ccQuad3 quadAt(const float* f) {
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]};
}
} // namespace

ccQuad3 TiledGrid3D::tile(ccGridSize pos) const {
    return quadAt(&vertices_[indexOf(pos)]);
}

ccQuad3 TiledGrid3D::originalTile(ccGridSize pos) const {
    return quadAt(&originalVertices_[indexOf(pos)]);
}

void TiledGrid3D::setTile(ccGridSize pos, const ccQuad3& c) {
    const float f[12] = {c.bl_x, c.bl_y, c.bl_z, c.br_x, c.br_y, c.br_z,
                         c.tl_x, c.tl_y, c.tl_z, c.tr_x, c.tr_y, c.tr_z};
    std::copy(f, f + 12, &vertices_[indexOf(pos)]);
}
