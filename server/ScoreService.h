#pragma once
// The two endpoints of the score service, apart from the HTTP server that
// carries them (see main.cpp and the README for the protocol).

#include "ScoreStore.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Bounds on what one request may hold.
constexpr size_t kMaxBodyBytes = 16 * 1024;
constexpr size_t kMaxFields = 32;
constexpr size_t kMaxKeyBytes = 64;
constexpr size_t kMaxValueBytes = 1024;
constexpr int64_t kDefaultLimit = 25;
constexpr int64_t kMaxLimit = 100;

struct ServiceAnswer {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";
};

class ScoreService {
  public:
    // `games`: each game's name and its secret key.
    ScoreService(ScoreStore& store, std::map<std::string, std::string> games)
        : store_(store), games_(std::move(games)) {}

    // POST /api/post-score with a form body: "OK" when stored.
    ServiceAnswer postScore(std::string_view body, int64_t now);
    // GET /api/get-scores with its query parameters: {"scores":[...]}.
    ServiceAnswer getScores(const std::multimap<std::string, std::string>& params, int64_t now);

    // Splits an x-www-form-urlencoded text into its pairs, in order; false
    // when it is malformed or holds more than kMaxFields pairs.
    static bool parseForm(std::string_view body, std::vector<std::pair<std::string, std::string>>& fields);
    // Reads the lines "name = key" ('#' starts a comment); false with a reason on a bad line.
    static bool parseGames(std::string_view text, std::map<std::string, std::string>& games, std::string& error);
    static std::string md5Hex(std::string_view data);

  private:
    ScoreStore& store_;
    std::map<std::string, std::string> games_;
};
