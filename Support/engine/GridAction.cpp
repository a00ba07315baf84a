#include "engine/GridAction.h"

#include "engine/CocosNode.h"
#include "engine/Errors.h"

#include <cmath>

// ---- GridAction

RefPtr<GridAction> GridAction::actionWithSize(ccGridSize gridSize, float duration) {
    return construct<GridAction>([&](GridAction& a) { return a.initWithSize(gridSize, duration); });
}

bool GridAction::initWithSize(ccGridSize gridSize, float duration) {
    ccAssert(gridSizeFits(gridSize), kGridSizeMessage);
    if (!IntervalAction::initWithDuration(duration)) return false;
    gridSize_ = gridSize;
    return true;
}

RefPtr<GridBase> GridAction::grid() {
    ccRaise("GridBase", "Abstract class needs implementation");
}

bool GridAction::isGridOfMyKind(const GridBase*) const {
    ccRaise("GridBase", "Abstract class needs implementation");
}

bool GridAction::gridSizeFits(ccGridSize size) const {
    return size.x >= 1 && size.y >= 1;
}

void GridAction::start() {
    IntervalAction::start();
    CocosNode* node = target();
    if (!node) return;
    RefPtr<GridBase> current = node->grid();
    if (current && current->reuseGrid() > 0) {
        // The new grid would only be thrown away: its kind is all that counts.
        if (current->active() && current->gridSize() == gridSize_ && isGridOfMyKind(current)) {
            current->reuse();
            return;
        }
        ccRaise("GridBase", "Cannot reuse grid");
    }
    RefPtr<GridBase> fresh = grid();
    if (current && current->active()) current->setActive(false);
    node->setGrid(fresh);
    fresh->setActive(true);
}

RefPtr<TimedAction> GridAction::reverse() {
    return ReverseTime::actionWithAction(this);
}

RefPtr<Action> GridAction::copy() const {
    return actionWithSize(gridSize_, duration());
}

// ---- Grid3DAction

RefPtr<Grid3DAction> Grid3DAction::actionWithSize(ccGridSize gridSize, float duration) {
    return construct<Grid3DAction>([&](Grid3DAction& a) { return a.initWithSize(gridSize, duration); });
}

RefPtr<GridBase> Grid3DAction::grid() {
    return Grid3D::gridWithSize(gridSize_);
}

bool Grid3DAction::isGridOfMyKind(const GridBase* grid) const {
    return dynamic_cast<const Grid3D*>(grid) != nullptr;
}

bool Grid3DAction::gridSizeFits(ccGridSize size) const {
    return Grid3D::sizeFits(size);
}

RefPtr<Action> Grid3DAction::copy() const {
    return actionWithSize(gridSize_, duration());
}

Grid3D* Grid3DAction::grid3D() const {
    CocosNode* node = target();
    return node ? dynamic_cast<Grid3D*>(node->grid()) : nullptr;
}

ccVertex3D Grid3DAction::vertex(ccGridSize pos) const {
    Grid3D* g = grid3D();
    return g ? g->vertex(pos) : ccVertex3D{};
}

ccVertex3D Grid3DAction::originalVertex(ccGridSize pos) const {
    Grid3D* g = grid3D();
    return g ? g->originalVertex(pos) : ccVertex3D{};
}

void Grid3DAction::setVertex(ccGridSize pos, ccVertex3D vertex) {
    if (Grid3D* g = grid3D()) g->setVertex(pos, vertex);
}

// ---- TiledGrid3DAction

RefPtr<TiledGrid3DAction> TiledGrid3DAction::actionWithSize(ccGridSize gridSize, float duration) {
    return construct<TiledGrid3DAction>(
        [&](TiledGrid3DAction& a) { return a.initWithSize(gridSize, duration); });
}

RefPtr<GridBase> TiledGrid3DAction::grid() {
    return TiledGrid3D::gridWithSize(gridSize_);
}

bool TiledGrid3DAction::isGridOfMyKind(const GridBase* grid) const {
    return dynamic_cast<const TiledGrid3D*>(grid) != nullptr;
}

bool TiledGrid3DAction::gridSizeFits(ccGridSize size) const {
    return TiledGrid3D::sizeFits(size);
}

RefPtr<Action> TiledGrid3DAction::copy() const {
    return actionWithSize(gridSize_, duration());
}

TiledGrid3D* TiledGrid3DAction::tiledGrid() const {
    CocosNode* node = target();
    return node ? dynamic_cast<TiledGrid3D*>(node->grid()) : nullptr;
}

ccQuad3 TiledGrid3DAction::tile(ccGridSize pos) const {
    TiledGrid3D* g = tiledGrid();
    return g ? g->tile(pos) : ccQuad3{};
}

ccQuad3 TiledGrid3DAction::originalTile(ccGridSize pos) const {
    TiledGrid3D* g = tiledGrid();
    return g ? g->originalTile(pos) : ccQuad3{};
}

void TiledGrid3DAction::setTile(ccGridSize pos, const ccQuad3& coords) {
    if (TiledGrid3D* g = tiledGrid()) g->setTile(pos, coords);
}

// ---- amplitude wrappers

bool AmplitudeAction::initWithAction(IntervalAction* action, float duration) {
    ccAssert(action != nullptr, "Argument must be non-nil");
    if (!IntervalAction::initWithDuration(duration)) return false;
    rate_ = 1.0f;
    other_ = action;
    return true;
}

void AmplitudeAction::start() {
    IntervalAction::start();
    other_->setTarget(target());
    other_->start();
}

void AmplitudeAction::update(float t) {
    other_->setAmplitudeRate(amplitudeAt(t));
    other_->update(t);
}

RefPtr<TimedAction> AmplitudeAction::reverse() {
    RefPtr<TimedAction> inner = other_->reverse();
    auto* interval = dynamic_cast<IntervalAction*>(inner.get());
    ccAssert(interval != nullptr, "Argument must be non-nil");
    return make(interval, duration());
}

RefPtr<Action> AmplitudeAction::copy() const {
    RefPtr<Action> inner = other_->copy();
    RefPtr<AmplitudeAction> c = make(dynamic_cast<IntervalAction*>(inner.get()), duration());
    c->setRate(rate_);
    return c;
}

namespace {
template <class T> RefPtr<T> wrapperOf(IntervalAction* action, float duration) {
    return construct<T>([&](T& w) { return w.initWithAction(action, duration); });
}
} // namespace

RefPtr<AccelDeccelAmplitude> AccelDeccelAmplitude::actionWithAction(IntervalAction* action, float duration) {
    return wrapperOf<AccelDeccelAmplitude>(action, duration);
}

float AccelDeccelAmplitude::amplitudeAt(float t) const {
    float f = t * 2;
    if (f > 1) f = 2 - f;
    return std::pow(f, rate_);
}

RefPtr<AmplitudeAction> AccelDeccelAmplitude::make(IntervalAction* action, float duration) const {
    return actionWithAction(action, duration);
}

RefPtr<AccelAmplitude> AccelAmplitude::actionWithAction(IntervalAction* action, float duration) {
    return wrapperOf<AccelAmplitude>(action, duration);
}

float AccelAmplitude::amplitudeAt(float t) const {
    return std::pow(t, rate_);
}

RefPtr<AmplitudeAction> AccelAmplitude::make(IntervalAction* action, float duration) const {
    return actionWithAction(action, duration);
}

RefPtr<DeccelAmplitude> DeccelAmplitude::actionWithAction(IntervalAction* action, float duration) {
    return wrapperOf<DeccelAmplitude>(action, duration);
}

float DeccelAmplitude::amplitudeAt(float t) const {
    return std::pow(1 - t, rate_);
}

RefPtr<AmplitudeAction> DeccelAmplitude::make(IntervalAction* action, float duration) const {
    return actionWithAction(action, duration);
}

// ---- StopGrid, ReuseGrid

RefPtr<StopGrid> StopGrid::action() {
    return construct<StopGrid>([](StopGrid& a) { return a.init(); });
}

void StopGrid::start() {
    InstantAction::start();
    CocosNode* node = target();
    if (!node) return;
    GridBase* grid = node->grid();
    if (grid && grid->active()) grid->setActive(false);
}

RefPtr<Action> StopGrid::copy() const {
    return action();
}

RefPtr<ReuseGrid> ReuseGrid::actionWithTimes(int32_t times) {
    return construct<ReuseGrid>([&](ReuseGrid& a) { return a.initWithTimes(times); });
}

bool ReuseGrid::initWithTimes(int32_t times) {
    if (!init()) return false;
    t_ = times;
    return true;
}

void ReuseGrid::start() {
    InstantAction::start();
    CocosNode* node = target();
    if (!node) return;
    GridBase* grid = node->grid();
    if (grid && grid->active()) grid->setReuseGrid(grid->reuseGrid() + t_);
}

RefPtr<Action> ReuseGrid::copy() const {
    return actionWithTimes(t_);
}
