#include "engine/Particle.h"

#include "engine/Director.h"
#include "engine/Errors.h"
#include "engine/Random.h"
#include "platform/Log.h"
#include "platform/System.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

static_assert(sizeof(sParticle) == 64, "a particle is 16 floats");
static_assert(sizeof(ccPointSprite) == 12 && sizeof(ccColorF) == 16, "handed to GL as packed floats");

namespace {

constexpr size_t kBytesPerParticle = sizeof(sParticle) + sizeof(ccPointSprite) + sizeof(ccColorF);

// Pixels per point of the window: a particle's size is in the picture's
// pixels at scale 1, so at a larger scale its point is drawn that much larger.
float windowScale() {
    return Director::sharedDirector()->contentScaleFactor();
}

float r() {
    return Random::minus1To1();
}

ccColorF randomColor(ccColorF base, ccColorF var) {
    ccColorF c;
    c.r = base.r + var.r * r();
    c.g = base.g + var.g * r();
    c.b = base.b + var.b * r();
    c.a = base.a + var.a * r();
    return c;
}

} // namespace

RefPtr<ParticleSystem> ParticleSystem::particleWithTotalParticles(int32_t count) {
    return particleSystemOf<ParticleSystem>(count);
}

ParticleSystem::ParticleSystem() = default;

ParticleSystem::~ParticleSystem() {
    if (verticesID_) glDeleteBuffers(1, &verticesID_);
    if (colorsID_) glDeleteBuffers(1, &colorsID_);
}

bool ParticleSystem::init() {
    ccRaise("Particle.init", "Particle.init shall not be called. Used initWithTotalParticles instead.");
}

bool ParticleSystem::initWithTotalParticles(int32_t count) {
    if (!CocosNode::init()) return false;
    // A count of nothing has nothing to allocate; a count beyond the machine's
    // memory would be promised by the system and end the program later.
    const uint64_t memory = platform::physicalMemory();
    if (count <= 0 || (memory && uint64_t(count) * kBytesPerParticle > memory)) {
        platform::ccLog("Particle system: not enough memory");
        return false;
    }
    // Zeroed records; the drawing arrays are written before they are read.
    particles_.reset(new (std::nothrow) sParticle[size_t(count)]());
    vertices_.reset(new (std::nothrow) ccPointSprite[size_t(count)]);
    colors_.reset(new (std::nothrow) ccColorF[size_t(count)]);
    if (!particles_ || !vertices_ || !colors_) {
        particles_.reset();
        vertices_.reset();
        colors_.reset();
        platform::ccLog("Particle system: not enough memory");
        return false;
    }
    capacity_ = totalParticles_ = count;
    active_ = true;
    blendAdditive_ = false;

    glGenBuffers(1, &verticesID_);
    glGenBuffers(1, &colorsID_);
    GLfloat range[2] = {1, 1};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    largestPointSize_ = range[1];
    drawPath_ = platform::hasGLExtension("GL_OES_point_sprite") && platform::hasGLExtension("GL_OES_point_size_array")
                    ? ParticleDrawPath::PointSprites
                    : ParticleDrawPath::Quads;

    schedule("step", [this](float dt) { step(dt); });
    return true;
}

void ParticleSystem::setTotalParticles(int32_t count) {
    if (count > capacity_) {
        platform::ccLogf("Particle system: %d particles are more than the %d it was made for; keeping %d", count,
               capacity_, capacity_);
        count = capacity_;
    }
    totalParticles_ = std::max(count, 0);
}

bool ParticleSystem::addParticle() {
    if (isFull()) return false;
    initParticle(&particles_[particleCount_]);
    ++particleCount_;
    return true;
}

void ParticleSystem::initParticle(sParticle* p) {
    // Sixteen draws, in this order, so that a seeded run is the same everywhere.
    p->pos.x = source_.x + posVar_.x * r();
    p->pos.y = source_.y + posVar_.y * r();
    const float a = static_cast<float>((angle_ + angleVar_ * r()) / 180.0f * std::numbers::pi);
    const float s = speed_ + speedVar_ * r();
    p->dir = cpv(std::cos(a) * s, std::sin(a) * s);
    p->radialAccel = radialAccel_ + radialAccelVar_ * r();
    p->tangentialAccel = tangentialAccel_ + tangentialAccelVar_ * r();
    p->life = life_ + lifeVar_ * r();
    const ccColorF start = randomColor(startColor_, startColorVar_);
    const ccColorF end = randomColor(endColor_, endColorVar_);
    p->color = start;
    // A particle born dead is removed before it is drawn; its colour change does not matter.
    const float life = p->life > 0 ? p->life : 1;
    p->deltaColor = {(end.r - start.r) / life, (end.g - start.g) / life, (end.b - start.b) / life,
                     (end.a - start.a) / life};
    p->size = size_ + sizeVar_ * r();
}

void ParticleSystem::stopSystem() {
    active_ = false;
    elapsed_ = duration_;
    emitCounter_ = 0;
}

void ParticleSystem::resetSystem() {
    elapsed_ = duration_;
    emitCounter_ = 0;
}

void ParticleSystem::step(float dt) {
    advance(dt);
    uploadBuffers();
}

void ParticleSystem::advance(float dt) {
    if (active_ && emissionRate_ != 0) {
        const float rate = 1.0f / emissionRate_;
        emitCounter_ += dt;
        while (particleCount_ < totalParticles_ && rate < emitCounter_) {
            addParticle();
            emitCounter_ -= rate;
        }
        elapsed_ += dt;
        if (duration_ != -1 && duration_ < elapsed_) stopSystem();
    }

    const float scale = windowScale();
    const cpVect gravity = gravity_;
    sParticle* const particles = particles_.get();
    ccPointSprite* const vertices = vertices_.get();
    ccColorF* const colors = colors_.get();
    int32_t count = particleCount_;
    int32_t i = 0;
    while (i < count) {
        sParticle& p = particles[i];
        if (!(p.life > 0)) {
            // The last live record fills the hole; this index is looked at again.
            if (i != count - 1) p = particles[count - 1];
            --count;
            continue;
        }
        cpVect u{0, 0};
        if (p.pos.x != 0 || p.pos.y != 0) {
            const float inverseLength = 1.0f / std::sqrt(p.pos.x * p.pos.x + p.pos.y * p.pos.y);
            u = {p.pos.x * inverseLength, p.pos.y * inverseLength};
        }
        const float ax = u.x * p.radialAccel - u.y * p.tangentialAccel + gravity.x;
        const float ay = u.y * p.radialAccel + u.x * p.tangentialAccel + gravity.y;
        p.dir.x += ax * dt;
        p.dir.y += ay * dt;
        p.pos.x += p.dir.x * dt;
        p.pos.y += p.dir.y * dt;
        p.color.r += p.deltaColor.r * dt;
        p.color.g += p.deltaColor.g * dt;
        p.color.b += p.deltaColor.b * dt;
        p.color.a += p.deltaColor.a * dt;
        p.life -= dt;
        vertices[i] = {p.pos.x, p.pos.y, p.size * scale};
        colors[i] = p.color;
        ++i;
    }
    particleCount_ = count;
    particleIdx_ = i;
}

void ParticleSystem::uploadBuffers() {
    glBindBuffer(GL_ARRAY_BUFFER, verticesID_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(totalParticles_) * GLsizeiptr(sizeof(ccPointSprite)),
                 vertices_.get(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, colorsID_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(totalParticles_) * GLsizeiptr(sizeof(ccColorF)), colors_.get(),
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ParticleSystem::draw() {
    if (particleIdx_ <= 0) return;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    glBlendFunc(GL_SRC_ALPHA, blendAdditive_ ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);

    // A point larger than the GL draws would be cut down: such systems draw squares.
    const float largest = (size_ + std::abs(sizeVar_)) * windowScale();
    if (drawPath_ == ParticleDrawPath::PointSprites && largest <= largestPointSize_)
        drawPoints();
    else
        drawQuads();

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_TEXTURE_2D);
}

void ParticleSystem::drawPoints() {
    glEnable(GL_POINT_SPRITE_OES);
    glTexEnvi(GL_POINT_SPRITE_OES, GL_COORD_REPLACE_OES, GL_TRUE);

    glEnableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, verticesID_);
    glVertexPointer(2, GL_FLOAT, sizeof(ccPointSprite), nullptr);
    glEnableClientState(GL_POINT_SIZE_ARRAY_OES);
    glPointSizePointerOES(GL_FLOAT, sizeof(ccPointSprite), reinterpret_cast<const void*>(2 * sizeof(float)));
    glEnableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, colorsID_);
    glColorPointer(4, GL_FLOAT, 0, nullptr);

    glDrawArrays(GL_POINTS, 0, particleIdx_);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_POINT_SIZE_ARRAY_OES);
    glDisableClientState(GL_COLOR_ARRAY);
    glTexEnvi(GL_POINT_SPRITE_OES, GL_COORD_REPLACE_OES, GL_FALSE);
    glDisable(GL_POINT_SPRITE_OES);
}

void ParticleSystem::drawQuads() {
    // Two triangles per particle, the whole texture on each, as a point sprite maps it
    // (texture rows run top down, so t grows downwards).
    if (quads_.size() < size_t(capacity_) * 6) quads_.resize(size_t(capacity_) * 6);
    const float toPoints = 1.0f / windowScale();
    QuadVertex* q = quads_.data();
    for (int32_t i = 0; i < particleIdx_; ++i, q += 6) {
        const ccPointSprite& v = vertices_[size_t(i)];
        const ccColorF& c = colors_[size_t(i)];
        const float h = v.size * toPoints * 0.5f;
        const QuadVertex bl{v.x - h, v.y - h, 0, 1, c}, br{v.x + h, v.y - h, 1, 1, c};
        const QuadVertex tl{v.x - h, v.y + h, 0, 0, c}, tr{v.x + h, v.y + h, 1, 0, c};
        q[0] = bl;
        q[1] = br;
        q[2] = tl;
        q[3] = tl;
        q[4] = br;
        q[5] = tr;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &quads_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &quads_[0].s);
    glColorPointer(4, GL_FLOAT, sizeof(QuadVertex), &quads_[0].color);
    glDrawArrays(GL_TRIANGLES, 0, particleIdx_ * 6);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}
