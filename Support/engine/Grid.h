#pragma once
// A distortion grid through which a node is drawn. While the grid is active
// the node's drawing goes into a texture (through a Grabber), and the texture
// is then drawn onto a mesh whose vertices effects move. Grid3D is one mesh
// of shared vertices; TiledGrid3D gives every cell four corners of its own.

#include "engine/Grabber.h"
#include "engine/Ref.h"
#include "engine/Texture2D.h"
#include "engine/cpVect.h"

#include <cstdint>
#include <string>
#include <vector>

class Camera;

// Grids address their vertices with 16-bit indices.
inline constexpr int64_t kMaxGridVertices = 65536;
inline constexpr const char* kGridSizeMessage = "Grid size must be at least 1x1 with at most 65536 vertices";

class GridBase : public Ref {
  public:
    // Sets up the render target and the cell size. A size below 1 x 1 is an
    // assertion failure (kGridSizeMessage).
    virtual bool initWithSize(ccGridSize gridSize);

    bool active() const { return active_; }
    void setActive(bool a) { active_ = a; }
    int32_t reuseGrid() const { return reuseGrid_; }
    void setReuseGrid(int32_t n) { reuseGrid_ = n; }
    ccGridSize gridSize() const { return gridSize_; }
    cpVect step() const { return step_; }
    void setStep(cpVect s) { step_ = s; }
    Texture2D* texture() const { return texture_.get(); }
    void setTexture(Texture2D* t) { texture_ = t; }
    Grabber* grabber() const { return grabber_.get(); }
    void setGrabber(Grabber* g) { grabber_ = g; }

    // "<Class = ADDRESS | Dimensions = XxY>"
    std::string description() const override;

    void applyLandscape();
    // The capture's projection: one point per point of the window, in the
    // render target's lower-left corner.
    void set2DProjection();
    // The director's 3-D projection.
    void set3DProjection();

    // Everything drawn from here on goes into the texture.
    virtual void beforeDraw();
    // Back to the screen; draws the texture through the mesh with `camera`'s view.
    virtual void afterDraw(Camera* camera);
    // Abstract here: raise "GridBase" / "Abstract class needs implementation".
    virtual void blit();
    virtual void reuse();
    // Whether `grid` is of this grid's class (or a subclass of it).
    virtual bool isKindOfThis(const GridBase* grid) const;

    // ---- the render target: one place that knows the colour buffer's size

    // The picture a grid captures, in pixels: the colour buffer's size, turned
    // as the window is (width and height swapped in landscape).
    static ccSize capturePixelSize();
    // The side of the square render target: the smallest power of two that
    // holds the capture (512 for a 320 x 480 window at scale 1).
    static uint32_t renderTargetSide();

  protected:
    virtual const char* className() const { return "GridBase"; }
    // Texture coordinates of a point of the window, in points.
    float texS(float x) const { return x * pixelsPerPointX_ / static_cast<float>(texture_->pixelsWide()); }
    float texT(float y) const { return y * pixelsPerPointY_ / static_cast<float>(texture_->pixelsHigh()); }

    bool active_ = false;
    int32_t reuseGrid_ = 0;
    ccGridSize gridSize_;
    RefPtr<Texture2D> texture_;
    cpVect step_;
    RefPtr<Grabber> grabber_;
    float pixelsPerPointX_ = 1, pixelsPerPointY_ = 1;
};

// The part both meshes share: vertex positions (three floats each), the
// shape effects start from, texture coordinates and 16-bit triangle indices.
// Each grid lays out its own vertices; drawing and reuse are the same.
class GridMesh : public GridBase {
  public:
    void blit() override;
    // With reuseGrid > 0 the current shape becomes the original one.
    void reuse() override;

    const std::vector<float>& texCoordinates() const { return texCoordinates_; }
    const std::vector<float>& vertices() const { return vertices_; }
    const std::vector<float>& originalVertices() const { return originalVertices_; }
    const std::vector<uint16_t>& indices() const { return indices_; }

  protected:
    std::vector<float> texCoordinates_;
    std::vector<float> vertices_;
    std::vector<float> originalVertices_;
    std::vector<uint16_t> indices_;
};

// One continuous mesh: (x + 1) x (y + 1) shared vertices, vertex (i, j) at
// index i * (y + 1) + j, two triangles per cell.
class Grid3D : public GridMesh {
  public:
    static RefPtr<Grid3D> gridWithSize(ccGridSize gridSize);
    // Sizes whose vertices 16-bit indices cannot address are an assertion failure.
    bool initWithSize(ccGridSize gridSize) override;
    static bool sizeFits(ccGridSize gridSize);

    void calculateVertexPoints();
    bool isKindOfThis(const GridBase* grid) const override;

    // Positions within [0, x] x [0, y]; not checked.
    ccVertex3D vertex(ccGridSize pos) const;
    ccVertex3D originalVertex(ccGridSize pos) const;
    void setVertex(ccGridSize pos, ccVertex3D vertex);

  protected:
    const char* className() const override { return "Grid3D"; }

  private:
    size_t indexOf(ccGridSize pos) const {
        return static_cast<size_t>(pos.x * (gridSize_.y + 1) + pos.y) * 3;
    }
};

// Every cell a quad of its own (ccQuad3), tile (i, j) at index i * y + j,
// so tiles move, shrink and vanish independently.
class TiledGrid3D : public GridMesh {
  public:
    static RefPtr<TiledGrid3D> gridWithSize(ccGridSize gridSize);
    bool initWithSize(ccGridSize gridSize) override;
    static bool sizeFits(ccGridSize gridSize);

    void calculateVertexPoints();
    bool isKindOfThis(const GridBase* grid) const override;

    // Positions within [0, x - 1] x [0, y - 1]; not checked.
    ccQuad3 tile(ccGridSize pos) const;
    ccQuad3 originalTile(ccGridSize pos) const;
    void setTile(ccGridSize pos, const ccQuad3& coords);

  protected:
    const char* className() const override { return "TiledGrid3D"; }

  private:
    size_t indexOf(ccGridSize pos) const { return static_cast<size_t>(pos.x * gridSize_.y + pos.y) * 12; }
};
