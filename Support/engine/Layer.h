#pragma once
// Layers: full-screen nodes that take touches and accelerometer readings;
// a layer filled with one colour; a layer that shows one of several layers.

#include "engine/Application.h"
#include "engine/CocosNode.h"
#include "engine/Touch.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

// Touch handlers of the director's dispatch. Each answers true when it
// handled the touches (dispatch stops there); the default passes them on.
class TouchEventsDelegate {
  public:
    virtual ~TouchEventsDelegate() = default;
    virtual bool ccTouchesBegan(TouchSet&, Event*) { return false; }
    virtual bool ccTouchesMoved(TouchSet&, Event*) { return false; }
    virtual bool ccTouchesEnded(TouchSet&, Event*) { return false; }
    virtual bool ccTouchesCancelled(TouchSet&, Event*) { return false; }
};

struct Acceleration {
    double x = 0, y = 0, z = 0;
    double timestamp = 0;
};

class Accelerometer;
class AccelerometerDelegate {
  public:
    virtual ~AccelerometerDelegate() = default;
    virtual void accelerometer(Accelerometer*, const Acceleration&) {}
};

// The device's accelerometer. The desktop has none, so readings arrive only
// through deliver(); its single delegate behaves as on the handheld.
class Accelerometer {
  public:
    static Accelerometer& sharedAccelerometer();
    AccelerometerDelegate* delegate() const { return delegate_; }
    void setDelegate(AccelerometerDelegate* d) { delegate_ = d; }
    // Hands one reading to the delegate, if there is one.
    void deliver(const Acceleration& reading);

  private:
    AccelerometerDelegate* delegate_ = nullptr; // weak
};

// A layer is offered key presses (keyDown) while it is shown in the running scene.
class Layer : public CocosNode, public TouchEventsDelegate, public AccelerometerDelegate, public KeyEventsDelegate {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(Layer); }
    static RefPtr<Layer> node();
    bool init() override;

    bool isTouchEnabled() const { return isTouchEnabled_; }
    void setIsTouchEnabled(bool b) { isTouchEnabled_ = b; }
    bool isAccelerometerEnabled() const { return isAccelerometerEnabled_; }
    void setIsAccelerometerEnabled(bool b) { isAccelerometerEnabled_ = b; }

    void onEnter() override;
    void onExit() override;

  private:
    bool isTouchEnabled_ = false;
    bool isAccelerometerEnabled_ = false;
};

// A rectangle of one colour, packed 0xRRGGBBAA.
class ColorLayer : public Layer, public CocosNodeOpacity {
  public:
    static RefPtr<ColorLayer> layerWithColor(uint32_t color, float width, float height);
    static RefPtr<ColorLayer> layerWithColor(uint32_t color);

    // Always raises "ColorLayerInit": a colour layer needs its colour.
    bool init() override;
    bool initWithColor(uint32_t color, int32_t width, int32_t height);
    bool initWithColor(uint32_t color);
    void initWidth(float width, float height);
    void changeWidth(float width);
    void changeHeight(float height);
    void changeColor(uint32_t color);

    uint32_t color() const { return color_; }
    // Stores the value only; what is drawn changes with changeColor or setOpacity.
    void setColor(uint32_t color) { color_ = color; }
    uint8_t opacity() const override { return static_cast<uint8_t>(color_ & 0xff); }
    void setOpacity(uint8_t opacity) override;

    void draw() override;

  private:
    uint32_t color_ = 0;
    float squareVertices_[8] = {};
    uint8_t squareColors_[16] = {};
};

// Shows exactly one of its layers.
class MultiplexLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(MultiplexLayer); }
    static RefPtr<MultiplexLayer> layerWithLayers(std::initializer_list<Layer*> layers);
    bool initWithLayers(std::initializer_list<Layer*> layers);

    void switchTo(uint32_t n);
    void switchToAndReleaseMe(uint32_t n);
    uint32_t enabledLayer() const { return enabledLayer_; }
    // The layers; an entry released by switchToAndReleaseMe is null.
    const std::vector<RefPtr<Layer>>& layers() const { return layers_; }

  private:
    void switchTo(uint32_t n, bool releaseCurrent);

    uint32_t enabledLayer_ = 0;
    std::vector<RefPtr<Layer>> layers_;
};
