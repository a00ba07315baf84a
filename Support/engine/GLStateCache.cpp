#include "engine/GLStateCache.h"

#include "engine/Texture2D.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

namespace GLStateCache {
namespace {

// 16-bit indices address at most this many quads in one call.
constexpr size_t kMaxQuads = 16384;
// Recorded frames in a row that were drawn before a scene counts as moving.
constexpr unsigned kChangedBeforeSampling = 8;

struct Colour {
    uint8_t r, g, b, a;
    bool operator==(const Colour&) const = default;
};

// A quad as drawQuad received it, with the matrices it was drawn under.
// Everything from `serial` on is compared byte for byte.
struct RecordedQuad {
    const Texture2D* texture;
    uint64_t serial;
    GLTint tint;
    GLfloat projection[16], modelview[16], corners[8], coordinates[8];
};
constexpr size_t kComparedFrom = offsetof(RecordedQuad, serial);
constexpr size_t kComparedBytes = offsetof(RecordedQuad, coordinates) + sizeof(GLfloat[8]) - kComparedFrom;

// The GL state a recorded frame's picture also depends on: the clear colour at
// the frame's start (the clear is made then), the rest at its end.
struct FrameState {
    GLfloat clearColour[4];
    GLint viewport[4];
    GLint framebuffer;
    GLint blendSource, blendDestination;
    GLboolean blend, depthTest;
    bool operator==(const FrameState&) const = default;
};

FrameState readFrameState() {
    FrameState f{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, f.clearColour);
    glGetIntegerv(GL_VIEWPORT, f.viewport);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &f.framebuffer);
    glGetIntegerv(GL_BLEND_SRC, &f.blendSource);
    glGetIntegerv(GL_BLEND_DST, &f.blendDestination);
    f.blend = glIsEnabled(GL_BLEND);
    f.depthTest = glIsEnabled(GL_DEPTH_TEST);
    return f;
}

struct Frames {
    bool inFrame = false;   // between beginFrame and endFrame
    bool recording = false; // nothing of this frame drawn yet: its quads go to `quads`
    bool whole = false;     // this frame recorded from its start
    FrameState state{};
    std::vector<RecordedQuad> quads, shownQuads;
    FrameState shownState{};
    bool shownKnown = false; // the view shows the frame `shownQuads` records
    bool redraw = true;
    unsigned changedInARow = 0;
    uint64_t number = 0;
    uint64_t kept = 0;
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
    Frames frames;
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

// Drawing that is not part of a recorded frame: the frame so far is drawn
// first, and outside the director's frames the view no longer shows a
// recorded one.
void drawingNow(Cache& c) {
    if (c.frames.recording) stopRecording();
    if (!c.frames.inFrame) c.frames.shownKnown = false;
}

} // namespace

void restore() {
    Cache& c = cache();
    if (c.frames.recording) return; // nothing drawn, nothing set
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

namespace {

// A quad of `texture` (not null) drawn under the given matrices.
void drawQuadNow(Cache& c, const Texture2D* texture, GLTint tint, const GLfloat corners[8],
                 const GLfloat coordinates[8], const GLfloat projection[16], const GLfloat modelview[16]) {
    GLuint name = texture->name();
    bool premultiplied = texture->hasPremultipliedAlpha();
    Colour colour = colourFor(texture, tint);
    GLfloat mvp[16];
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
        // The matrices are loaded as given: a recorded quad is drawn later, under others.
        flush(c);
        setState(c, name, premultiplied, colour);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadMatrixf(projection);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadMatrixf(modelview);
        glVertexPointer(2, GL_FLOAT, 0, corners);
        glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
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

} // namespace

void drawQuad(const Texture2D* texture, GLTint tint, const GLfloat corners[8], const GLfloat coordinates[8]) {
    Cache& c = cache();
    bool record = c.frames.recording && c.visitDepth > 0;
    if (!texture) {
        // Nothing to draw, but the state a textured draw leaves is the same (none is set while recording).
        if (record) return;
        drawingNow(c);
        flush(c);
        start(c);
        settle(c);
        return;
    }
    if (record) {
        RecordedQuad& q = c.frames.quads.emplace_back();
        q.texture = texture;
        q.serial = texture->serial();
        q.tint = tint;
        glGetFloatv(GL_PROJECTION_MATRIX, q.projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, q.modelview);
        std::memcpy(q.corners, corners, sizeof q.corners);
        std::memcpy(q.coordinates, coordinates, sizeof q.coordinates);
        return;
    }
    drawingNow(c);
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    drawQuadNow(c, texture, tint, corners, coordinates, projection, modelview);
}

void prepare(const Texture2D* texture, GLTint tint) {
    Cache& c = cache();
    drawingNow(c);
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
    if (c.frames.recording && !c.frames.quads.empty()) stopRecording(); // drawn while the texture lives
    if (c.quads > 0 && c.batchTexture == name) flush(c);
    if (c.boundTexture == name) c.boundKnown = false;
}

uint64_t drawCalls() {
    return cache().drawCalls;
}

void beginFrame() {
    Cache& c = cache();
    Frames& f = c.frames;
    restore();
    f.inFrame = true;
    ++f.number;
    // A scene that has changed for a while is recorded two frames in sixteen:
    // two in a row that agree are enough to find it at rest.
    f.whole = f.recording = f.changedInARow < kChangedBeforeSampling || f.number % 16 < 2;
    if (!f.recording) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    glGetFloatv(GL_COLOR_CLEAR_VALUE, f.state.clearColour);
    f.quads.clear();
}

namespace {

// Draws the recorded frame: its clear, then its quads. GL is left in the conventional state.
void drawRecorded(Cache& c) {
    Frames& f = c.frames;
    f.recording = false;
    // The frame's clear, with the clear colour the frame started with.
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const GLfloat* start = f.state.clearColour;
    bool sameColour = std::memcmp(clearColour, start, sizeof clearColour) == 0;
    if (!sameColour) glClearColor(start[0], start[1], start[2], start[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!sameColour) glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    // Each quad under its own matrices, through the usual path (the same batches, the same pixels).
    ++c.visitDepth;
    for (const RecordedQuad& q : f.quads)
        drawQuadNow(c, q.texture, q.tint, q.corners, q.coordinates, q.projection, q.modelview);
    --c.visitDepth;
    restore();
}

} // namespace

void stopRecording() {
    Cache& c = cache();
    if (!c.frames.recording) return;
    c.frames.whole = false;
    drawRecorded(c);
}

bool endFrame() {
    Cache& c = cache();
    Frames& f = c.frames;
    bool kept = false;
    if (f.recording) {
        FrameState end = readFrameState();
        std::memcpy(end.clearColour, f.state.clearColour, sizeof end.clearColour);
        f.state = end;
        auto same = [](const RecordedQuad& a, const RecordedQuad& b) {
            return std::memcmp(reinterpret_cast<const char*>(&a) + kComparedFrom,
                               reinterpret_cast<const char*>(&b) + kComparedFrom, kComparedBytes) == 0;
        };
        kept = !f.redraw && f.shownKnown && f.state == f.shownState &&
               std::equal(f.quads.begin(), f.quads.end(), f.shownQuads.begin(), f.shownQuads.end(), same);
        if (!kept) drawRecorded(c);
        f.recording = false;
    }
    restore();
    if (f.whole) {
        std::swap(f.quads, f.shownQuads);
        f.shownState = f.state;
    }
    f.shownKnown = f.whole;
    f.changedInARow = kept ? 0 : f.changedInARow + 1;
    f.redraw = false;
    f.inFrame = false;
    if (kept) ++f.kept;
    return !kept;
}

void redrawNextFrame() {
    Frames& f = cache().frames;
    f.redraw = true;
    f.changedInARow = 0;
}

uint64_t keptFrames() {
    return cache().frames.kept;
}

VisitScope::VisitScope() {
    Cache& c = cache();
    // A visit outside the director's frames draws straight into the view.
    if (c.visitDepth++ == 0 && !c.frames.inFrame) c.frames.shownKnown = false;
}

VisitScope::~VisitScope() {
    if (--cache().visitDepth == 0) restore();
}

} // namespace GLStateCache
