#include "engine/GLStateCache.h"

#include "engine/Texture2D.h"

#include <vector>

namespace GLStateCache {
namespace {

// 16-bit indices address at most this many quads in one call.
constexpr size_t kMaxQuads = 16384;

struct Colour {
    uint8_t r, g, b, a;
    bool operator==(const Colour&) const = default;
};

struct Cache {
    int visitDepth = 0;
    // In use: arrays and texturing on; blend, colour and binding as recorded below.
    bool active = false;
    GLint blendSource = GL_SRC_ALPHA; // the conventional blend function, read when the cache starts
    GLint blendDestination = GL_ONE_MINUS_SRC_ALPHA;
    bool premultipliedBlend = false; // (1, 1 - alpha) is set
    Colour colour{255, 255, 255, 255};
    GLuint boundTexture = 0;
    bool boundKnown = false;

    // Pending quads, all of one texture, tint and blend function.
    GLuint batchTexture = 0;
    bool batchPremultiplied = false;
    Colour batchColour{};
    std::vector<GLfloat> vertices;    // x, y, z, w per corner
    std::vector<GLfloat> coordinates; // s, t per corner
    std::vector<GLushort> indices;    // six per quad
    size_t quads = 0;
    uint64_t drawCalls = 0;
};

Cache& cache() {
    // Never destroyed: textures freed at exit still report here.
    static Cache* c = new Cache;
    return *c;
}

void start(Cache& c) {
    if (c.active) return;
    glGetIntegerv(GL_BLEND_SRC, &c.blendSource);
    glGetIntegerv(GL_BLEND_DST, &c.blendDestination);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    c.premultipliedBlend = false;
    c.colour = {255, 255, 255, 255};
    c.boundKnown = false;
    c.active = true;
}

void setState(Cache& c, GLuint texture, bool premultiplied, Colour colour) {
    start(c);
    if (!c.boundKnown || c.boundTexture != texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        c.boundTexture = texture;
        c.boundKnown = true;
    }
    if (premultiplied != c.premultipliedBlend) {
        if (premultiplied)
            glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        else
            glBlendFunc(static_cast<GLenum>(c.blendSource), static_cast<GLenum>(c.blendDestination));
        c.premultipliedBlend = premultiplied;
    }
    if (!(colour == c.colour)) {
        glColor4ub(colour.r, colour.g, colour.b, colour.a);
        c.colour = colour;
    }
}

void flush(Cache& c) {
    if (c.quads == 0) return;
    setState(c, c.batchTexture, c.batchPremultiplied, c.batchColour);
    // The corners are already in clip space.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glVertexPointer(4, GL_FLOAT, 0, c.vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 0, c.coordinates.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(c.quads * 6), GL_UNSIGNED_SHORT, c.indices.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    ++c.drawCalls;
    c.quads = 0;
    c.vertices.clear();
    c.coordinates.clear();
    c.indices.clear();
}

Colour colourFor(const Texture2D* texture, GLTint tint) {
    if (texture && texture->hasPremultipliedAlpha()) {
        auto faded = [&](uint8_t v) { return static_cast<uint8_t>((v * tint.opacity + 127) / 255); };
        return {faded(tint.r), faded(tint.g), faded(tint.b), tint.opacity};
    }
    return {tint.r, tint.g, tint.b, tint.opacity};
}

// Outside any visit nothing waits for a later draw.
void settle(Cache& c) {
    if (c.visitDepth == 0) restore();
}

} // namespace

void restore() {
    Cache& c = cache();
    flush(c);
    if (!c.active) return;
    if (c.premultipliedBlend)
        glBlendFunc(static_cast<GLenum>(c.blendSource), static_cast<GLenum>(c.blendDestination));
    if (!(c.colour == Colour{255, 255, 255, 255})) glColor4ub(255, 255, 255, 255);
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    c.active = false;
    c.boundKnown = false;
}

void drawQuad(const Texture2D* texture, GLTint tint, const GLfloat corners[8], const GLfloat coordinates[8]) {
    Cache& c = cache();
    if (!texture) {
        // Nothing to draw, but the state a textured draw leaves is the same.
        flush(c);
        start(c);
        settle(c);
        return;
    }
    GLuint name = texture->name();
    bool premultiplied = texture->hasPremultipliedAlpha();
    Colour colour = colourFor(texture, tint);
    GLfloat projection[16], modelview[16], mvp[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // The product as the GL forms it (column-major, each sum in the same order).
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            mvp[col * 4 + row] = projection[row] * modelview[col * 4] + projection[4 + row] * modelview[col * 4 + 1] +
                                 projection[8 + row] * modelview[col * 4 + 2] +
                                 projection[12 + row] * modelview[col * 4 + 3];
    const GLfloat* m = mvp;
    if (m[1] != 0 || m[2] != 0 || m[3] != 0 || m[4] != 0 || m[6] != 0 || m[7] != 0) {
        // Turned: the GL transforms it, as it always did. Only without turning does each
        // clip coordinate come from one product and one sum, which the CPU rounds the same way.
        flush(c);
        setState(c, name, premultiplied, colour);
        glVertexPointer(2, GL_FLOAT, 0, corners);
        glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        ++c.drawCalls;
        settle(c);
        return;
    }
    if (c.quads > 0 && (c.batchTexture != name || c.batchPremultiplied != premultiplied ||
                        !(c.batchColour == colour) || c.quads >= kMaxQuads))
        flush(c);
    if (c.quads == 0) {
        c.batchTexture = name;
        c.batchPremultiplied = premultiplied;
        c.batchColour = colour;
    }
    for (int k = 0; k < 4; ++k) {
        GLfloat x = corners[2 * k], y = corners[2 * k + 1];
        c.vertices.insert(c.vertices.end(), {m[0] * x + m[12], m[5] * y + m[13], m[14], m[15]});
        c.coordinates.insert(c.coordinates.end(), {coordinates[2 * k], coordinates[2 * k + 1]});
    }
    // The two triangles of a strip over the four corners, as GL would cut it.
    auto base = static_cast<GLushort>(c.quads * 4);
    c.indices.insert(c.indices.end(), {base, static_cast<GLushort>(base + 1), static_cast<GLushort>(base + 2),
                                       static_cast<GLushort>(base + 2), static_cast<GLushort>(base + 1),
                                       static_cast<GLushort>(base + 3)});
    ++c.quads;
    settle(c);
}

void prepare(const Texture2D* texture, GLTint tint) {
    Cache& c = cache();
    flush(c);
    if (texture)
        setState(c, texture->name(), texture->hasPremultipliedAlpha(), colourFor(texture, tint));
    else
        start(c); // nothing is drawn without a texture
}

void drawn() {
    settle(cache());
}

void forgetTexture(GLuint name) {
    Cache& c = cache();
    if (c.quads > 0 && c.batchTexture == name) flush(c);
    if (c.boundTexture == name) c.boundKnown = false;
}

uint64_t drawCalls() {
    return cache().drawCalls;
}

VisitScope::VisitScope() {
    ++cache().visitDepth;
}

VisitScope::~VisitScope() {
    if (--cache().visitDepth == 0) restore();
}

} // namespace GLStateCache
