// SFML 2.5 drawing the same moving sprites as sprite_peers (benchmark only):
//   sfml_peer sfml-sprite|sfml-vertexarray SIZE COUNT FRAMES
// SFML needs an X display (bench/peers/run.py gives it Xvfb); prints "<mode> <ms per frame>".

#include "PeerScene.h"

#include <SFML/Graphics.hpp>
#include <SFML/OpenGL.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    std::string mode = argv[1];
    int size = std::atoi(argv[2]), count = std::atoi(argv[3]), frames = std::atoi(argv[4]);
    sf::RenderWindow window(sf::VideoMode(peer::kWidth, peer::kHeight), "peer");
    window.setVerticalSyncEnabled(false);
    sf::Image image;
    image.create(static_cast<unsigned>(size), static_cast<unsigned>(size), peer::picture(size).data());
    sf::Texture texture;
    texture.loadFromImage(image);
    texture.setSmooth(true);
    std::vector<peer::Mover> m = peer::movers(count, size);
    std::vector<sf::Sprite> sprites(m.size(), sf::Sprite(texture));
    sf::VertexArray quads(sf::Triangles);
    float s = static_cast<float>(size);
    auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        peer::move(m, size);
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
