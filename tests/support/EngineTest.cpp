#include "support/EngineTest.h"

#include "engine/Application.h"
#include "engine/Engine.h"
#include "platform/Input.h"
#include "platform/Log.h"
#include "platform/Surface.h"
#include "platform/System.h"
#include "support/TestPictures.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::ostream& operator<<(std::ostream& os, const RGBA& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

::testing::AssertionResult colorNear(const RGBA& actual, const RGBA& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance && std::abs(actual.a - expected.a) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "colour " << actual << " is not within " << tolerance << " of " << expected;
}

bool updatingGoldens() {
    const char* update = std::getenv("TV_UPDATE_GOLDEN");
    return update && *update && std::string(update) != "0";
}

std::string goldenFile(const std::string& name) {
    return std::string(TV_TEST_GOLDEN_DIR) + "/" + name + ".png";
}

bool readTestPNG(const std::string& path, platform::Bitmap& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    bool ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

void EngineTest::SetUp() {
    platform::setLogSink([this](std::string_view line) {
        logLines_.emplace_back(line);
        std::fprintf(stderr, "[log] %.*s\n", static_cast<int>(line.size()), line.data());
    });
    std::string error;
    ASSERT_TRUE(startEngine(true, &error)) << error;
    platform::setResourceDirectory(TV_RESOURCE_DIR);
    Application::sharedApplication().reset();
    Application::sharedApplication().setContentScale(windowScale());
    platform::setCurrentClock(&clock_);
    window_ = makeRef<Window>(ccRectMake(0, 0, 320, 480));
    window_->setUserInteractionEnabled(true);
    director()->attachInWindow(window_);
    window_->makeKeyAndVisible();
}

void EngineTest::TearDown() {
    endEngine();
    Application::sharedApplication().setContentScale(1);
    window_ = nullptr;
    platform::setLogSink(nullptr);
}

void EngineTest::runScene(Scene* scene) {
    director()->runWithScene(scene);
}

void EngineTest::showScene(Scene* scene) {
    if (director()->runningScene())
        director()->replaceScene(scene);
    else
        runScene(scene);
    step();
}

void EngineTest::step(float dt) {
    clock_.advance(dt);
    director()->mainLoop();
}

void EngineTest::stepFrames(int n, float dt) {
    for (int i = 0; i < n; ++i)
        step(dt);
}

namespace {
void inject(platform::InputKind kind, cpVect p) {
    platform::InputEvent e;
    e.kind = kind;
    e.finger = platform::kMouseFinger;
    e.x = p.x;
    e.y = p.y;
    platform::injectInputEvent(e);
}
} // namespace

void EngineTest::touchDown(cpVect p) {
    inject(platform::InputKind::TouchBegan, p);
}
void EngineTest::touchMove(cpVect p) {
    inject(platform::InputKind::TouchMoved, p);
}
void EngineTest::touchUp(cpVect p) {
    inject(platform::InputKind::TouchEnded, p);
}
void EngineTest::tap(cpVect screenPoint) {
    touchDown(viewPoint(screenPoint));
    step();
    touchUp(viewPoint(screenPoint));
    step();
}
void EngineTest::pressKey(const std::string& text) {
    platform::InputEvent e;
    e.kind = platform::InputKind::KeyDown;
    ASSERT_TRUE(platform::parseKeyPress(text, e.key)) << text;
    platform::injectInputEvent(e);
    step();
}

platform::Bitmap EngineTest::readFrame() const {
    return director()->openGLView()->readPixels();
}

RGBA EngineTest::pixelAt(int x, int y) const {
    platform::Bitmap frame = readFrame();
    int row = frame.height - 1 - y;
    if (x < 0 || row < 0 || x >= frame.width || row >= frame.height) return {};
    const uint8_t* p = frame.pixel(x, row);
    return {p[0], p[1], p[2], p[3]};
}

std::string EngineTest::saveFrame(const std::string& name) const {
    fs::create_directories("frames");
    std::string path = (fs::path("frames") / (name + ".png")).string();
    platform::writePNG(path, readFrame());
    return fs::absolute(path).string();
}

::testing::AssertionResult EngineTest::matchesGolden(const std::string& name, int tolerance,
                                                     int badPixels) const {
    platform::Bitmap frame = readFrame();
    const std::string goldenPath = goldenFile(name);
    if (updatingGoldens()) {
        fs::create_directories(TV_TEST_GOLDEN_DIR);
        if (!platform::writePNG(goldenPath, frame))
            return ::testing::AssertionFailure() << "cannot write " << goldenPath;
        return ::testing::AssertionSuccess() << "golden picture written: " << goldenPath;
    }
    platform::Bitmap golden;
    if (!readTestPNG(goldenPath, golden))
        return ::testing::AssertionFailure()
               << "no golden picture " << goldenPath
               << "; make it with TV_UPDATE_GOLDEN=1 and look at it before committing";
    // TV_GOLDEN_EXACT=1 asks for the very same bytes (a change meant to draw identically).
    const char* exact = std::getenv("TV_GOLDEN_EXACT");
    if (exact && *exact && std::string(exact) != "0") tolerance = badPixels = 0;
    if (::testing::AssertionResult match = picturesMatch(frame, golden, tolerance, badPixels); !match)
        return ::testing::AssertionFailure() << "golden " << name << ": " << match.message()
                                             << "; the frame is in " << saveFrame("failed-" + name);
    return ::testing::AssertionSuccess();
}

bool EngineTest::logged(const std::string& line) const {
    return std::find(logLines_.begin(), logLines_.end(), line) != logLines_.end();
}
