// score-server: a small, self-hostable score service for games that use the
// engine's score client. See the README for running it and for the protocol.

#include "ScoreService.h"
#include "ScoreStore.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

const char* const kUsage =
    "usage: score-server [--host ADDRESS] [--port N] [--db FILE] [--game NAME=KEY]... [--config FILE]\n"
    "  --host    address to listen on (default 127.0.0.1, loopback only)\n"
    "  --port    port to listen on (default 8080; 0 picks a free one)\n"
    "  --db      the SQLite file that keeps the scores (default scores.sqlite)\n"
    "  --game    a game and its secret key; repeat for more games\n"
    "  --config  a file of lines \"NAME = KEY\" ('#' starts a comment)\n"
    "Prints \"score-server: listening on http://ADDRESS:PORT\" once it is ready.\n";

int usage(const std::string& problem) {
    std::cerr << "score-server: " << problem << "\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1", db = "scores.sqlite";
    int port = 8080;
    std::map<std::string, std::string> games;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        const char* v = value();
        if (!v) return usage("missing value after " + arg);
        if (arg == "--host") {
            host = v;
        } else if (arg == "--port") {
            char* end = nullptr;
            long p = std::strtol(v, &end, 10);
            if (!*v || *end || p < 0 || p > 65535) return usage(std::string("not a port: ") + v);
            port = static_cast<int>(p);
        } else if (arg == "--db") {
            db = v;
        } else if (arg == "--game") {
            std::string error;
            if (!ScoreService::parseGames(v, games, error)) return usage("--game wants NAME=KEY");
        } else if (arg == "--config") {
            std::ifstream in(v);
            std::stringstream text;
            text << in.rdbuf();
            std::string error;
            if (!in) return usage(std::string("cannot read ") + v);
            if (!ScoreService::parseGames(text.str(), games, error)) return usage(std::string(v) + ": " + error);
        } else {
            return usage("unknown option " + arg);
        }
    }
    if (games.empty()) return usage("no game given (--game or --config)");

    ScoreStore store;
    std::string error;
    if (!store.open(db, error)) {
        std::cerr << "score-server: cannot open " << db << ": " << error << "\n";
        return 1;
    }
    ScoreService service(store, games);

    // SIGINT and SIGTERM stop the server cleanly; a thread waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    httplib::Server server;
    server.set_payload_max_length(kMaxBodyBytes);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_max_count(20);
    auto send = [](httplib::Response& res, const ServiceAnswer& answer) {
        res.status = answer.status;
        res.set_content(answer.body, answer.contentType.c_str());
    };
    server.Post("/api/post-score", [&](const httplib::Request& req, httplib::Response& res) {
        send(res, service.postScore(req.body, static_cast<int64_t>(std::time(nullptr))));
    });
    server.Get("/api/get-scores", [&](const httplib::Request& req, httplib::Response& res) {
        send(res, service.getScores(req.params, static_cast<int64_t>(std::time(nullptr))));
    });

    int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        std::cerr << "score-server: cannot listen on " << host << ":" << port << "\n";
        return 1;
    }
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    stopper.detach();
    std::printf("score-server: listening on http://%s:%d\n", host.c_str(), bound);
    std::fflush(stdout);
    bool ok = server.listen_after_bind();
    return ok ? 0 : 1;
}
