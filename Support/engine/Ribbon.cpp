#include "engine/Ribbon.h"

#include "engine/TextureMgr.h"
#include "platform/GL.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void RibbonSegment::reset() {
    end = 0;
    begin = 0;
    finished = false;
}

void RibbonSegment::draw(float curTime, float fadeTime, uint8_t r, uint8_t g, uint8_t b, uint8_t a,
                         bool premultiplied) {
    if (begin >= kCapacity) {
        finished = true;
        return;
    }
    auto times = [premultiplied](uint8_t c, uint8_t alpha) {
        return premultiplied ? static_cast<uint8_t>((c * alpha + 127) / 255) : c;
    };
    if (curTime == 0) {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4ub(times(r, a), times(g, a), times(b, a), a);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        const uint32_t first = begin;
        for (uint32_t i = first; i < end; ++i) {
            // No fade time: a point has faded as soon as it is drawn.
            const float life = fadeTime > 0 ? (curTime - creationTime[i]) / fadeTime : INFINITY;
            uint8_t alpha = 0;
            if (life > 1)
                ++begin;
            else
                alpha = static_cast<uint8_t>(std::clamp(255 - life * 255, 0.0f, 255.0f));
            uint8_t* c = &colors[i * 8];
            c[0] = c[4] = times(r, alpha);
            c[1] = c[5] = times(g, alpha);
            c[2] = c[6] = times(b, alpha);
            c[3] = c[7] = alpha;
        }
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, &colors[begin * 8]);
    }
    if (end <= begin) return;
    glVertexPointer(3, GL_FLOAT, 0, &verts[begin * 6]);
    glTexCoordPointer(2, GL_FLOAT, 0, &coords[begin * 4]);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>((end - begin) * 2));
}

RefPtr<Ribbon> Ribbon::ribbonWithWidth(float width, const std::string& image, float length, uint32_t color,
                                       float fade) {
    return construct<Ribbon>([&](Ribbon& r) { return r.initWithWidth(width, image, length, color, fade); });
}

bool Ribbon::initWithWidth(float width, const std::string& image, float length, uint32_t color, float fade) {
    if (!CocosNode::init()) return false;
    textureLength_ = length;
    color_ = color;
    fadeTime_ = fade;
    texture_ = TextureMgr::sharedTextureMgr()->addImage(image);
    lastWidth_ = width * 0.5f;
    texVPos_ = 0;
    curTime_ = 0;
    segments_.clear();
    spareSegments_.clear();
    segments_.push_back(std::make_unique<RibbonSegment>());
    return true;
}

cpVect Ribbon::rotatePoint(cpVect point, float rotation) const {
    const float c = cosf(rotation), s = sinf(rotation);
    return {point.x * c - point.y * s, point.x * s + point.y * c};
}

float Ribbon::sideOfLine(cpVect p, cpVect l1, cpVect l2) const {
    return (p.x - l1.x) * -(l1.y - l2.y) + (p.y - l1.y) * (l1.x - l2.x);
}

void Ribbon::writePoint(RibbonSegment& segment, cpVect left, cpVect right, float v, float time) {
    const uint32_t i = segment.end;
    segment.creationTime[i] = time;
    float* vert = &segment.verts[i * 6];
    vert[0] = left.x;
    vert[1] = left.y;
    vert[2] = 0;
    vert[3] = right.x;
    vert[4] = right.y;
    vert[5] = 0;
    float* coord = &segment.coords[i * 4];
    coord[0] = 0;
    coord[1] = v;
    coord[2] = 1;
    coord[3] = v;
    segment.end = i + 1;
}

void Ribbon::addPointAt(cpVect location, float width) {
    const float h = width * 0.5f;
    if (!pastFirstPoint_) {
        lastWidth_ = h;
        lastLocation_ = location;
        pastFirstPoint_ = true;
        return;
    }
    const float r = cpvtoangle(cpvsub(lastLocation_, location)) + std::numbers::pi_v<float> / 2;
    const cpVect p1 = cpvadd(location, rotatePoint(cpv(-h, 0), r));
    const cpVect p2 = cpvadd(location, rotatePoint(cpv(h, 0), r));
    const float v = cpvlength(cpvsub(lastLocation_, location)) / textureLength_ + texVPos_;

    // Segments whose points have all faded wait for reuse.
    for (auto it = segments_.begin(); it != segments_.end();) {
        if ((*it)->finished) {
            spareSegments_.push_back(std::move(*it));
            it = segments_.erase(it);
        } else {
            ++it;
        }
    }
    if (segments_.empty() || segments_.back()->end >= RibbonSegment::kCapacity) {
        std::unique_ptr<RibbonSegment> next;
        if (!spareSegments_.empty()) {
            next = std::move(spareSegments_.front());
            spareSegments_.erase(spareSegments_.begin());
            next->reset();
        } else {
            next = std::make_unique<RibbonSegment>();
        }
        segments_.push_back(std::move(next));
    }
    RibbonSegment& segment = *segments_.back();
    // A new segment starts with the previous point, so the strip has no gap.
    if (segment.end == 0)
        writePoint(segment, cpvadd(lastLocation_, rotatePoint(cpv(-lastWidth_, 0), r)),
                   cpvadd(lastLocation_, rotatePoint(cpv(lastWidth_, 0), r)), texVPos_, curTime_ - delta_);
    writePoint(segment, p1, p2, v, curTime_);

    texVPos_ = v;
    lastLocation_ = location;
    lastPoint1_ = p1;
    lastPoint2_ = p2;
    lastWidth_ = h;
}

void Ribbon::update(float delta) {
    curTime_ += delta;
    delta_ = delta;
}

void Ribbon::draw() {
    // Without its picture a ribbon draws nothing, as a sprite without one does.
    if (segments_.empty() || !texture_) return;
    const bool premultiplied = texture_->hasPremultipliedAlpha();
    GLint blendSource = GL_SRC_ALPHA, blendDestination = GL_ONE_MINUS_SRC_ALPHA;
    if (premultiplied) {
        glGetIntegerv(GL_BLEND_SRC, &blendSource);
        glGetIntegerv(GL_BLEND_DST, &blendDestination);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_->name());
    // The texture runs along the strip again and again.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const auto r = static_cast<uint8_t>(color_ >> 24), g = static_cast<uint8_t>(color_ >> 16),
               b = static_cast<uint8_t>(color_ >> 8), a = static_cast<uint8_t>(color_);
    for (auto& segment : segments_)
        segment->draw(curTime_, fadeTime_, r, g, b, a, premultiplied);
    glColor4ub(255, 255, 255, 255);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (premultiplied) glBlendFunc(static_cast<GLenum>(blendSource), static_cast<GLenum>(blendDestination));
}
