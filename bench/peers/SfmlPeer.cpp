// SFML 2.5 drawing the same moving sprites as sprite_peers (benchmark only):
//   sfml_peer sfml-sprite|sfml-vertexarray SIZE COUNT FRAMES
// SFML needs an X display (bench/peers/run.sh gives it Xvfb); prints "<mode> <ms per frame>".

#include <SFML/Graphics.hpp>
#include <SFML/OpenGL.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 320, kHeight = 480;
struct Mover {
    float x, y, vx, vy;
};
} // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    std::string mode = argv[1];
    int size = std::atoi(argv[2]), count = std::atoi(argv[3]), frames = std::atoi(argv[4]);
    sf::RenderWindow window(sf::VideoMode(kWidth, kHeight), "peer");
    window.setVerticalSyncEnabled(false);
    sf::Image image;
    image.create(static_cast<unsigned>(size), static_cast<unsigned>(size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                           sf::Color(static_cast<sf::Uint8>(x * 255 / size), static_cast<sf::Uint8>(y * 255 / size), 128,
                                     (x == 0 || y == 0) ? 128 : 255));
    sf::Texture texture;
    texture.loadFromImage(image);
    texture.setSmooth(true);
    // The same motion as sprite_peers.
    std::vector<Mover> m(static_cast<size_t>(count));
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (auto& v : m)
        v = {static_cast<float>(next() % static_cast<uint32_t>(kWidth - size)),
             static_cast<float>(next() % static_cast<uint32_t>(kHeight - size)), static_cast<float>(next() % 5) - 2,
             static_cast<float>(next() % 5) - 2};
    std::vector<sf::Sprite> sprites(m.size(), sf::Sprite(texture));
    sf::VertexArray quads(sf::Triangles);
    float s = static_cast<float>(size);
    auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        for (auto& v : m) {
            v.x += v.vx;
            v.y += v.vy;
            if (v.x < 0 || v.x > static_cast<float>(kWidth - size)) v.vx = -v.vx;
            if (v.y < 0 || v.y > static_cast<float>(kHeight - size)) v.vy = -v.vy;
        }
        window.clear();
        if (mode == "sfml-sprite") {
            for (size_t i = 0; i < m.size(); ++i) {
                sprites[i].setPosition(m[i].x, m[i].y);
                window.draw(sprites[i]);
            }
        } else {
            quads.clear();
            for (auto& v : m) {
                sf::Vertex a({v.x, v.y}, {0, 0}), b({v.x + s, v.y}, {s, 0}), c({v.x, v.y + s}, {0, s}),
                    d({v.x + s, v.y + s}, {s, s});
                for (const sf::Vertex& x : {a, b, c, c, b, d})
                    quads.append(x);
            }
            window.draw(quads, &texture);
        }
        window.display();
        glFinish();
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
    std::printf("%s %.3f\n", mode.c_str(), ms);
    return 0;
}
