#pragma once
// The GL state cache the engine's own textured drawing goes through.
//
// Why: a sprite used to switch texturing, the client arrays, the colour and
// the blend function on and back off around its one draw call, and made that
// call on its own. With thousands of sprites those switches were most of the
// frame. Now a run of textured draws leaves the state set, and consecutive
// quads that share texture, tint and blend function become one draw call.
//
// The convention every `draw` of its own may rely on is unchanged: client
// arrays off, GL_TEXTURE_2D off, colour (255, 255, 255, 255), the director's
// blend function, nothing waiting to be drawn. The cache keeps it like this:
// - Only nodes whose `drawsThroughStateCache()` is true (TextureNode,
//   AtlasNode and what derives from them without drawing on its own) may leave
//   the state cached. `CocosNode::visit` calls `restore()` before any other
//   node's `draw`, and around a grid's capture and rendering.
// - When the outermost `visit` returns, and after a cached draw made outside
//   any visit (a direct `draw()` call), the state is restored: nothing ever
//   stays pending once the engine's drawing is over.
// - Quads are kept in the order they were drawn; a quad with another texture,
//   tint or blend function, an atlas, or a change of projection first draws
//   what is pending. Their corners are transformed by the modelview matrix on
//   the CPU and drawn with an identity modelview (the same pixels: positions
//   end on the rasteriser's sub-pixel grid either way; the golden pictures
//   are compared byte for byte with TV_GOLDEN_EXACT=1).
// - The bound texture is known only while the cache is in use: `restore()`
//   forgets it, and a texture that is deleted is forgotten (and its pending
//   quads drawn) first.
//
// Keeping a frame. At idle most frames show exactly the picture already on
// screen, and on a software rasteriser filling it again is nearly all the
// work. So the director records a frame instead of drawing it, and draws it
// only when it differs:
// - `beginFrame` takes the place of the frame's clear, `endFrame` says whether
//   to present. In between the engine's textured quads are recorded with the
//   matrices, tint and texture (by its `serial`) they were drawn with.
// - Whatever cannot be recorded draws the frame so far first and ends the
//   recording: a node whose `drawsWithoutGL()` is false (before its draw), a
//   grid, an atlas, a texture deleted, a capture into a texture, any drawing
//   outside the director's visit. The rest of that frame is drawn as it comes.
// - A frame recorded whole whose record and GL state (clear colour, viewport,
//   blend) equal the previous frame's, while the view still shows that frame,
//   is kept: nothing is cleared, drawn or presented. `draw()` still runs for
//   every node, so work done in draw still happens every frame.
// - Once eight recorded frames in a row were drawn, only two frames in every
//   sixteen are recorded, so a moving scene pays almost nothing for it.

#include "platform/GL.h"

#include <cstdint>

class Texture2D;

// A tint and opacity; for pictures with premultiplied colour the tint is
// premultiplied by the opacity and the blend function is (1, 1 - alpha).
struct GLTint {
    uint8_t r = 255, g = 255, b = 255, opacity = 255;
};

namespace GLStateCache {

// Draws what is pending and brings GL back to the conventional state.
void restore();

// One textured quad in the current modelview space: corners bottom-left,
// bottom-right, top-left, top-right as (x, y) pairs and their texture
// coordinates. A null texture draws nothing.
void drawQuad(const Texture2D* texture, GLTint tint, const GLfloat corners[8], const GLfloat coordinates[8]);

// Texturing, arrays, tint, blend function and the texture ready for a draw
// call of the caller's own (an atlas); what is pending is drawn first.
void prepare(const Texture2D* texture, GLTint tint);

// After the caller's own draw call that followed `prepare`.
void drawn();

// Tells the cache that texture `name` is being deleted.
void forgetTexture(GLuint name);

// Draw calls made for quads since the program started (benchmarks, tests).
uint64_t drawCalls();

// Starts one of the director's frames in place of its clear (see above).
void beginFrame();
// Draws what the frame has recorded so far and records no more of it.
void stopRecording();
// Ends the frame: true when it was drawn and is to be presented, false when
// it was kept (the view shows it already).
bool endFrame();
// The next frame ends drawn, whatever it records (the window lost its picture,
// the view was made again).
void redrawNextFrame();
// Frames kept since the program started (benchmarks, tests).
uint64_t keptFrames();

// Held by CocosNode::visit: the outermost one restores the state when it ends.
class VisitScope {
  public:
    VisitScope();
    ~VisitScope();
    VisitScope(const VisitScope&) = delete;
    VisitScope& operator=(const VisitScope&) = delete;
};

} // namespace GLStateCache
