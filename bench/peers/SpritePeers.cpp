// The sprite figures of the engine and of its peers, one program per run so
// that bench/peers/run.py can interleave them: N moving sprites of S x S
// pixels drawn for F frames in a 320 x 480 window, each frame presented and
// finished; prints "<mode> <ms per frame>".
//   sprite_peers engine|engine-atlas|sdl-copy|sdl-geometry|gles-batch SIZE COUNT FRAMES
// engine-atlas draws the sprites as the quads of texture atlases, one draw
// call per 16,384 quads (16-bit indices), as the GL ES batch does.
// Headless with SDL_VIDEODRIVER=offscreen; the same Mesa stack for all.

#include "engine/Director.h"
#include "engine/Engine.h"
#include "engine/GLStateCache.h"
#include "engine/Scene.h"
#include "engine/Scheduler.h"
#include "engine/Sprite.h"
#include "engine/TextureAtlas.h"
#include "engine/TextureMgr.h"
#include "platform/Surface.h"
#include "platform/System.h"

#include "PeerWindow.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using peer::kHeight;
using peer::kWidth;
using peer::Mover;
using peer::move;
using peer::movers;
using peer::picture;

using Clock = std::chrono::steady_clock;
double msPerFrame(Clock::time_point start, int frames) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames;
}

// Every mover as one quad of a texture atlas, drawn as an AtlasNode draws.
class QuadField : public CocosNode {
  public:
    QuadField(Texture2D* texture, int count) : texture_(texture) {
        for (int first = 0; first < count; first += static_cast<int>(TextureAtlas::kMaxQuads)) {
            auto n = static_cast<uint32_t>(std::min(count - first, static_cast<int>(TextureAtlas::kMaxQuads)));
            // Any picture the cache holds: the atlas gets the movers' texture right after.
            atlases_.push_back(TextureAtlas::textureAtlasWithFile("fps_images.png", n));
            atlases_.back()->setTexture(texture);
        }
    }
    void place(const std::vector<Mover>& m, float size) {
        const ccQuad2 coordinates{0, 1, 1, 1, 0, 0, 1, 0};
        for (size_t i = 0; i < m.size(); ++i) {
            float x = m[i].x, y = m[i].y;
            ccQuad3 corners{x, y, 0, x + size, y, 0, x, y + size, 0, x + size, y + size, 0};
            atlases_[i / TextureAtlas::kMaxQuads]->updateQuadWithTexture(
                &coordinates, &corners, static_cast<uint32_t>(i % TextureAtlas::kMaxQuads));
        }
    }
    void draw() override {
        for (auto& atlas : atlases_) {
            GLStateCache::prepare(texture_.get(), GLTint{});
            atlas->drawQuads();
            GLStateCache::drawn();
        }
    }
    bool drawsThroughStateCache() const override { return true; }

  private:
    RefPtr<Texture2D> texture_;
    std::vector<RefPtr<TextureAtlas>> atlases_;
};

double runEngine(int size, int count, int frames, bool atlas) {
    std::string error;
    if (!startEngine(true, &error)) throw std::runtime_error(error);
    RefPtr<Window> window = makeRef<Window>(ccRectMake(0, 0, kWidth, kHeight));
    Director* director = Director::sharedDirector();
    director->attachInWindow(window);
    auto pixels = picture(size);
    RefPtr<Texture2D> texture = makeRef<Texture2D>();
    texture->initWithData(pixels.data(), Texture2DPixelFormatRGBA8888, static_cast<uint32_t>(size),
                          static_cast<uint32_t>(size), ccSize{static_cast<float>(size), static_cast<float>(size)});
    RefPtr<Scene> scene = Scene::node();
    auto m = movers(count, size);
    std::vector<RefPtr<Sprite>> sprites;
    RefPtr<QuadField> field;
    if (atlas) {
        field = makeRef<QuadField>(texture.get(), count);
        field->init();
        scene->add(field);
    } else {
        for (int i = 0; i < count; ++i) {
            sprites.push_back(Sprite::spriteWithTexture(texture));
            scene->add(sprites.back());
        }
    }
    director->runWithScene(scene);
    glFinish();
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        move(m, size);
        if (field) field->place(m, static_cast<float>(size));
        for (size_t i = 0; i < sprites.size(); ++i)
            sprites[i]->setPosition(cpv(m[i].x + size * 0.5f, m[i].y + size * 0.5f));
        director->mainLoop();
        glFinish();
    }
    double ms = msPerFrame(start, frames);
    director->end();
    director->mainLoop();
    endEngine();
    return ms;
}

SDL_Window* sdlWindow(Uint32 flags) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        std::exit(1);
    }
    return SDL_CreateWindow("peer", 0, 0, kWidth, kHeight, flags);
}

double runSDL(int size, int count, int frames, bool geometry) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl"); // SDL's GL renderer
    SDL_Window* window = sdlWindow(0);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        std::exit(1);
    }
    auto pixels = picture(size);
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, size, size);
    SDL_UpdateTexture(texture, nullptr, pixels.data(), size * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    // Filtered as the engine's sprites, SFML's smooth textures and the GL ES batch are (SDL's default is nearest).
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    auto m = movers(count, size);
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        move(m, size);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        if (geometry) {
            vertices.clear();
            indices.clear();
            for (auto& v : m) {
                int base = static_cast<int>(vertices.size());
                float s = static_cast<float>(size);
                SDL_Color white{255, 255, 255, 255};
                vertices.push_back({{v.x, v.y}, white, {0, 0}});
                vertices.push_back({{v.x + s, v.y}, white, {1, 0}});
                vertices.push_back({{v.x, v.y + s}, white, {0, 1}});
                vertices.push_back({{v.x + s, v.y + s}, white, {1, 1}});
                for (int k : {0, 1, 2, 2, 1, 3})
                    indices.push_back(base + k);
            }
            SDL_RenderGeometry(renderer, texture, vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                               static_cast<int>(indices.size()));
        } else {
            for (auto& v : m) {
                SDL_FRect r{v.x, v.y, static_cast<float>(size), static_cast<float>(size)};
                SDL_RenderCopyF(renderer, texture, nullptr, &r);
            }
        }
        SDL_RenderPresent(renderer);
        SDL_RenderFlush(renderer);
        glFinish();
    }
    double ms = msPerFrame(start, frames);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return ms;
}

// The practical limit: one array, one call, state set once.
double runBatch(int size, int count, int frames) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = peer::glesContext(window);
    auto pixels = picture(size);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    auto m = movers(count, size);
    std::vector<GLfloat> vertices, coordinates;
    std::vector<GLushort> indices;
    for (int i = 0; i < count && i < 16384; ++i)
        for (int k : {0, 1, 2, 2, 1, 3})
            indices.push_back(static_cast<GLushort>(i * 4 + k));
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        move(m, size);
        glClear(GL_COLOR_BUFFER_BIT);
        vertices.clear();
        coordinates.clear();
        float s = static_cast<float>(size);
        for (auto& v : m) {
            vertices.insert(vertices.end(), {v.x, v.y, v.x + s, v.y, v.x, v.y + s, v.x + s, v.y + s});
            coordinates.insert(coordinates.end(), {0, 1, 1, 1, 0, 0, 1, 0});
        }
        for (int first = 0; first < count; first += 16384) {
            int n = std::min(16384, count - first);
            glVertexPointer(2, GL_FLOAT, 0, &vertices[static_cast<size_t>(first) * 8]);
            glTexCoordPointer(2, GL_FLOAT, 0, &coordinates[static_cast<size_t>(first) * 8]);
            glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_SHORT, indices.data());
        }
        SDL_GL_SwapWindow(window);
        glFinish();
    }
    double ms = msPerFrame(start, frames);
    peer::closeWindow(window, context);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s engine|engine-atlas|sdl-copy|sdl-geometry|gles-batch SIZE COUNT FRAMES\n",
                     argv[0]);
        return 2;
    }
    int size = std::atoi(argv[2]), count = std::atoi(argv[3]), frames = std::atoi(argv[4]);
    double ms = 0;
    if (mode == "engine" || mode == "engine-atlas")
        ms = runEngine(size, count, frames, mode == "engine-atlas");
    else if (mode == "sdl-copy")
        ms = runSDL(size, count, frames, false);
    else if (mode == "sdl-geometry")
        ms = runSDL(size, count, frames, true);
    else if (mode == "gles-batch")
        ms = runBatch(size, count, frames);
    else
        return 2;
    std::printf("%s %.3f\n", mode.c_str(), ms);
    return 0;
}
