#include "ContactSheet.h"

#include "Demo.h"
#include "Gallery.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Engine.h"
#include "engine/Random.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "runner/Runner.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
constexpr uint32_t kSeed = 20261207;
// Frames at 30 a second on the way to a picture: half the drawing of a live run, the same moment.
constexpr double kFrameSeconds = 1.0 / 30;

// The sheet's layout, in pixels.
constexpr int kThumbWidth = 160, kThumbHeight = 240;
constexpr int kCaptionHeight = 20, kMargin = 8;
constexpr int kColumns = 4, kRows = 3;
constexpr uint8_t kBackground = 40;

// `frame` shrunk to the thumbnail's size, each pixel the average of the block it covers.
void drawThumbnail(const platform::Bitmap& frame, platform::Bitmap& sheet, int left, int top) {
    if (frame.width <= 0 || frame.height <= 0) return;
    for (int y = 0; y < kThumbHeight; ++y)
        for (int x = 0; x < kThumbWidth; ++x) {
            int x0 = x * frame.width / kThumbWidth,
                x1 = std::max(x0 + 1, (x + 1) * frame.width / kThumbWidth);
            int y0 = y * frame.height / kThumbHeight,
                y1 = std::max(y0 + 1, (y + 1) * frame.height / kThumbHeight);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const uint8_t* p = &frame.pixels[(static_cast<size_t>(sy) * frame.width + sx) * 4];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c];
                }
            unsigned n = static_cast<unsigned>((x1 - x0) * (y1 - y0));
            uint8_t* out = sheet.pixel(left + x, top + y);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
            out[3] = 255;
        }
}

// White text centred in the caption band under a thumbnail.
void drawCaption(const std::string& text, platform::Bitmap& sheet, int left, int top) {
    std::vector<uint8_t> coverage(static_cast<size_t>(kThumbWidth) * kCaptionHeight, 0);
    platform::drawText(text, "Helvetica", 12, kThumbWidth, kCaptionHeight, platform::TextAlignmentCenter,
                       coverage.data(), kThumbWidth, kCaptionHeight);
    for (int y = 0; y < kCaptionHeight; ++y)
        for (int x = 0; x < kThumbWidth; ++x) {
            unsigned a = coverage[static_cast<size_t>(y) * kThumbWidth + x];
            uint8_t* out = sheet.pixel(left + x, top + y);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((255 * a + out[c] * (255 - a) + 127) / 255);
        }
}
} // namespace

platform::Bitmap pictureOfDemo(int index) {
    platform::VirtualClock clock;
    platform::setCurrentClock(&clock);
    Random::seed(kSeed);
    RefPtr<Window> window = makeRef<Window>(ccRectMake(0, 0, 320, 480));
    Director::sharedDirector()->attachInWindow(window);
    window->makeKeyAndVisible();
    Gallery::shared()->showDemo(index);
    // The first frame enters the demo; then one frame per 1/30 s up to its moment.
    long frames = 1 + std::lround(demos()[index].pictureAt / kFrameSeconds);
    for (long i = 0; i < frames; ++i) {
        clock.advance(kFrameSeconds);
        Director::sharedDirector()->mainLoop();
    }
    platform::Bitmap frame = Director::sharedDirector()->openGLView()->readPixels();
    Gallery::purgeShared();
    // Every picture starts from a fresh engine: no demo sees another's leftovers.
    endEngine();
    std::string error;
    if (!startEngine(true, &error)) platform::ccLogf("Cannot start the engine again: %s", error.c_str());
    return frame;
}

std::string contactSheetFileName(int page) {
    return "contact-sheet-" + std::to_string(page + 1) + ".png";
}

std::vector<platform::Bitmap> contactSheets(const std::vector<DemoPicture>& pictures) {
    constexpr int perPage = kColumns * kRows;
    std::vector<platform::Bitmap> sheets;
    for (size_t first = 0; first < pictures.size(); first += perPage) {
        platform::Bitmap sheet;
        sheet.width = kMargin + kColumns * (kThumbWidth + kMargin);
        sheet.height = kMargin + kRows * (kThumbHeight + kCaptionHeight + kMargin);
        sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, kBackground);
        for (size_t i = 3; i < sheet.pixels.size(); i += 4)
            sheet.pixels[i] = 255;
        for (size_t i = first; i < std::min(pictures.size(), first + perPage); ++i) {
            int cell = static_cast<int>(i - first);
            int left = kMargin + (cell % kColumns) * (kThumbWidth + kMargin);
            int top = kMargin + (cell / kColumns) * (kThumbHeight + kCaptionHeight + kMargin);
            drawThumbnail(pictures[i].frame, sheet, left, top);
            drawCaption(pictures[i].name, sheet, left, top + kThumbHeight + 2);
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

bool writeContactSheet(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        platform::ccLogf("Cannot make the folder %s: %s", dir.c_str(), error.message().c_str());
        return false;
    }
    std::vector<DemoPicture> pictures;
    bool ok = true;
    for (size_t i = 0; i < demos().size(); ++i) {
        pictures.push_back({demos()[i].name, pictureOfDemo(static_cast<int>(i))});
        ok = platform::writePNG(dir + "/" + demos()[i].name + ".png", pictures.back().frame) && ok;
    }
    std::vector<platform::Bitmap> sheets = contactSheets(pictures);
    for (size_t p = 0; p < sheets.size(); ++p)
        ok = platform::writePNG(dir + "/" + contactSheetFileName(static_cast<int>(p)), sheets[p]) && ok;
    return ok;
}
