#include "scores/ScoreServer.h"

#include "platform/Log.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex urlMutex;
std::string gameURL;

} // namespace

void setScoreServerURL(std::string url) {
    std::lock_guard<std::mutex> lock(urlMutex);
    gameURL = std::move(url);
}

std::string scoreServerURL() {
    if (const char* env = std::getenv("TV_SCORE_SERVER_URL"); env && *env) return env;
    std::lock_guard<std::mutex> lock(urlMutex);
    return gameURL;
}

std::string scoreServerEndpoint(std::string_view path, const char* who) {
    std::string base = scoreServerURL();
    if (base.empty()) {
        platform::ccLogf("%s: no score service is set (setScoreServerURL or TV_SCORE_SERVER_URL); nothing is sent", who);
        return {};
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + std::string(path);
}

std::string scoreServerEscape(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}
