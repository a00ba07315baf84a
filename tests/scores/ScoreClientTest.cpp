// The score clients end to end: against the real score service on a free
// loopback port, and against small misbehaving servers made here.

#include "engine/Errors.h"
#include "engine/Scheduler.h"
#include "platform/Device.h"
#include "scores/ScoreServerPost.h"
#include "scores/ScoreServerRequest.h"
#include "support/LogRecorder.h"
#include "support/Scratch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <openssl/evp.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

const char* const kGame = "tindervale-test";
const char* const kKey = "sekrit";

std::string md5Hex(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
    std::string out;
    for (unsigned int i = 0; i < size; ++i)
        out += platform::ccFormat("%02x", digest[i]);
    return out;
}

// The score service, run from its program on a free loopback port.
class Service {
  public:
    explicit Service(const std::string& db) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        // Nothing is allocated between fork and exec.
        std::string game = std::string(kGame) + "=" + kKey;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execl(TV_SCORE_SERVER, TV_SCORE_SERVER, "--port", "0", "--db", db.c_str(), "--game", game.c_str(),
                  "--game", "other=otherkey", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        // "score-server: listening on http://127.0.0.1:PORT"
        std::string line;
        pollfd p{out[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&p, 1, 20000) > 0) {
            char buffer[256];
            ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0) break;
            line.append(buffer, static_cast<size_t>(n));
        }
        close(out[0]);
        size_t at = line.find("http://");
        if (at == std::string::npos) throw std::runtime_error("the service did not start: " + line);
        url_ = line.substr(at, line.find('\n') - at);
        port_ = std::stoi(url_.substr(url_.rfind(':') + 1));
    }
    ~Service() { stop(SIGTERM); }
    // Ends the service with `signal`; its wait status.
    int stop(int signal) {
        if (pid_ <= 0) return -1;
        kill(pid_, signal);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    const std::string& url() const { return url_; }
    int port() const { return port_; }

  private:
    pid_t pid_ = -1;
    std::string url_;
    int port_ = 0;
};

// An HTTP server of the test's own, answering as its handlers say and keeping what it was sent.
class OddServer {
  public:
    OddServer() {
        server_.set_post_routing_handler([this](const httplib::Request& req, httplib::Response&) {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back({req.method + " " + req.target, req.body, req.get_header_value("Content-Type")});
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) // a stop before the listening begins would be missed
            std::this_thread::yield();
    }
    ~OddServer() {
        server_.stop();
        thread_.join();
    }
    httplib::Server& server() { return server_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    struct Seen {
        std::string line, body, contentType;
    };
    std::vector<Seen> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

  private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::vector<Seen> requests_;
};

// A form signed as the clients sign theirs.
std::string signedForm(std::vector<std::pair<std::string, std::string>> fields, const std::string& device) {
    std::string body, digest;
    for (const auto& [k, v] : fields) {
        body += scoreServerEscape(k) + "=" + scoreServerEscape(v) + "&";
        digest += v;
    }
    return body + "cc_device_id=" + device + "&cc_gamename=" + kGame + "&cc_hash=" + md5Hex(digest + kKey) +
           "&cc_prot_ver=1.0";
}

class Outcomes : public ScoreServerDelegate {
  public:
    void scorePostOk(ScoreServerPost*) override { events.push_back("postOk"); }
    void scorePostFail(ScoreServerPost*) override { events.push_back("postFail"); }
    void scoreRequestOk(ScoreServerRequest*) override { events.push_back("requestOk"); }
    void scoreRequestFail(ScoreServerRequest*) override { events.push_back("requestFail"); }
    std::vector<std::string> events;
};

class ScoreClient : public ::testing::Test {
  protected:
    void SetUp() override { unsetenv("TV_SCORE_SERVER_URL"); }
    void TearDown() override {
        setScoreServerURL("");
        Scheduler::purgeSharedScheduler();
    }

    // Runs frames (scheduler ticks) until the delegate has heard `count` outcomes.
    bool frames(size_t count = 1, double seconds = 20) {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (outcomes->events.size() < count && std::chrono::steady_clock::now() < end) {
            Scheduler::sharedScheduler()->tick(1.0f / 60);
            usleep(1000);
        }
        return outcomes->events.size() >= count;
    }

    // One post through a new client; its final status.
    int32_t post(const JSONDictionary& record, const char* key = kKey, double timeout = 10) {
        RefPtr<ScoreServerPost> p = ScoreServerPost::serverWithGameName(kGame, key, outcomes.get());
        p->setTimeoutInterval(timeout);
        size_t before = outcomes->events.size();
        if (!p->sendScore(record)) return -1;
        EXPECT_EQ(p->postStatus(), 0); // while under way
        EXPECT_TRUE(frames(before + 1));
        return p->postStatus();
    }

    // One query; its records, or none.
    std::optional<JSONValue> query(int32_t type, int32_t limit, int32_t offset, int32_t flags,
                                   std::string_view category = "", double timeout = 10) {
        RefPtr<ScoreServerRequest> r = ScoreServerRequest::serverWithGameName(kGame, outcomes.get());
        r->setTimeoutInterval(timeout);
        size_t before = outcomes->events.size();
        if (!r->requestScores(type, limit, offset, flags, category)) return std::nullopt;
        EXPECT_TRUE(frames(before + 1));
        return r->parseScores();
    }

    static std::vector<std::string> names(const std::optional<JSONValue>& scores) {
        std::vector<std::string> out;
        if (scores)
            for (const JSONValue& s : scores->asArray()) out.push_back((*&s)["name"].stringOr("?"));
        return out;
    }

    ScratchConfigHome config;
    RefPtr<Outcomes> outcomes = makeRef<Outcomes>();
    std::string db = config.file("scores.sqlite");
};

} // namespace

TEST_F(ScoreClient, PostedScoresAreFoundInOrder) {
    Service service(db);
    setScoreServerURL(service.url());
    EXPECT_EQ(post({{"name", "ann"}, {"score", 100}}), 0);
    EXPECT_EQ(post({{"name", "bob"}, {"score", 300}}), 0);
    EXPECT_EQ(post({{"name", "c+d&e=f g"}, {"score", 200}}), 0);
    EXPECT_EQ(post({{"name", "dee"}, {"score", 50}, {"category", "x y&z"}}), 0);
    EXPECT_EQ(post({{"name", "eve"}, {"score", 999}}, "not-the-key"), 2) << "a wrong key is refused";

    EXPECT_EQ(names(query(0, 10, 0, 0)), (std::vector<std::string>{"bob", "c+d&e=f g", "ann", "dee"}));
    EXPECT_EQ(names(query(0, 10, 0, 1)), (std::vector<std::string>{"dee", "ann", "c+d&e=f g", "bob"}));
    std::optional<JSONValue> page = query(0, 1, 1, 0);
    EXPECT_EQ(names(page), (std::vector<std::string>{"c+d&e=f g"}));
    EXPECT_EQ((*page)[0]["position"].asNumber(), 2);
    EXPECT_EQ((*page)[0]["score"].asNumber(), 200);
    EXPECT_EQ(names(query(0, 10, 0, 0, "x y&z")), (std::vector<std::string>{"dee"}));
    EXPECT_EQ(names(query(1, 10, 0, 0, "none")), (std::vector<std::string>{}));
}

TEST_F(ScoreClient, AServiceThatIsDownIsAConnectionFailureAndABadValueIsRefusedBeforeSending) {
    setScoreServerURL(OddServer().url()); // a loopback address that nothing listens on any more
    EXPECT_EQ(post({{"score", 1}}), 1);
    EXPECT_FALSE(query(0, 10, 0, 0));
    EXPECT_EQ(outcomes->events, (std::vector<std::string>{"postFail", "requestFail"}));
    RefPtr<ScoreServerPost> p = ScoreServerPost::serverWithGameName(kGame, kKey, outcomes.get());
    for (const JSONValue& bad : {JSONValue(JSONArray{1}), JSONValue(nullptr), JSONValue(JSONDictionary{})})
        EXPECT_THAT([&] { p->sendScore({{"score", 1}, {"z", bad}}); },
                    ::testing::ThrowsMessage<NamedException>(
                        "Invalid format for value: Invalid format for value. addValue"))
            << bad.typeName();
    EXPECT_EQ(URLConnection::openConnections(), 0u);
}

TEST_F(ScoreClient, ASilentServerTimesOutAndASecondSendWaitsForTheFirst) {
    OddServer silent;
    auto never = [](const httplib::Request&, httplib::Response&) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    silent.server().Post("/api/post-score", never);
    silent.server().Get("/api/get-scores", never);
    setScoreServerURL(silent.url());
    RefPtr<ScoreServerPost> p = ScoreServerPost::serverWithGameName(kGame, kKey, outcomes.get());
    p->setTimeoutInterval(0.3);
    ASSERT_TRUE(p->sendScore({{"score", 1}}));
    EXPECT_FALSE(p->sendScore({{"score", 2}})) << "one is under way";
    EXPECT_EQ(p->postStatus(), 0);
    EXPECT_TRUE(frames(1));
    EXPECT_EQ(p->postStatus(), 1);
    EXPECT_FALSE(query(0, 10, 0, 0, "", 0.3));
    EXPECT_EQ(outcomes->events, (std::vector<std::string>{"postFail", "requestFail"}));
}

TEST_F(ScoreClient, TheFormIsSortedEscapedAndSignedAndOnlyAPlainOKAcceptsIt) {
    OddServer odd;
    std::string answer;
    int status = 200;
    odd.server().Post("/api/post-score", [&](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content(answer, "text/plain");
    });
    setScoreServerURL(odd.url() + "/");
    using Case = std::tuple<int, std::string, int32_t>; // the answer, and the post's status
    for (const auto& [code, text, postStatus] :
         {Case{200, "OK\n", 2}, Case{200, "", 2}, Case{500, "OK", 2}, Case{404, "Not here", 2},
          Case{200, "OK", 0}}) {
        status = code;
        answer = text;
        EXPECT_EQ(post({{"score", 1}}), postStatus) << code << " " << text;
    }
    RefPtr<ScoreServerPost> p = ScoreServerPost::serverWithGameName("a game&co", kKey, outcomes.get());
    ASSERT_TRUE(p->sendScore({{"b", "x&y"}, {"A", "1+1=2"}, {"c", 100}}));
    ASSERT_TRUE(frames(6));
    // A second send on the same client starts a fresh form.
    ASSERT_TRUE(p->sendScore({{"d", 1.5}}));
    ASSERT_TRUE(frames(7));
    EXPECT_EQ(p->postStatus(), 0);

    std::string device = platform::Device::uniqueIdentifier();
    std::vector<OddServer::Seen> seen = odd.requests();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].line, "POST /api/post-score");
    EXPECT_EQ(seen[0].contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(seen[5].body, "A=1%2B1%3D2&b=x%26y&c=100&cc_device_id=" + device +
                                "&cc_gamename=a%20game%26co&cc_hash=" + md5Hex(std::string("1+1=2x&y100") + kKey) +
                                "&cc_prot_ver=1.0");
    EXPECT_EQ(seen[6].body, "d=1.5&cc_device_id=" + device + "&cc_gamename=a%20game%26co&cc_hash=" +
                                md5Hex(std::string("1.5") + kKey) + "&cc_prot_ver=1.0");
}

TEST_F(ScoreClient, TheQueryURLCarriesEveryArgumentEscapedAndRedirectsAreNotFollowed) {
    OddServer odd;
    std::atomic<bool> redirect = false;
    odd.server().Get("/api/get-scores", [&](const httplib::Request& req, httplib::Response& res) {
        if (redirect)
            res.set_redirect(odd.url() + "/elsewhere");
        else if (req.get_param_value("category") == "bad")
            res.set_content("not json", "application/json");
        else
            res.set_content("{\"scores\":[{\"name\":\"x\"}]}", "application/json");
    });
    odd.server().Post("/api/post-score", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(odd.url() + "/elsewhere", 307);
    });
    setScoreServerURL(odd.url());
    RefPtr<ScoreServerRequest> r = ScoreServerRequest::serverWithGameName("a&b", outcomes.get());
    ASSERT_TRUE(r->requestScores(1, 20, 40, 3));
    ASSERT_TRUE(frames(1));
    EXPECT_EQ(names(r->parseScores()), (std::vector<std::string>{"x"}));
    ASSERT_TRUE(r->requestScores(0, 5, 0, 0, "x y&z=+"));
    ASSERT_TRUE(frames(2));
    ASSERT_TRUE(r->requestScores(0, 5, 0, 0, "bad"));
    ASSERT_TRUE(frames(3));
    EXPECT_FALSE(r->parseScores()); // not JSON: no records
    redirect = true;
    EXPECT_EQ(post({{"score", 1}}), 2);
    query(0, 10, 0, 0);
    EXPECT_EQ(outcomes->events,
              (std::vector<std::string>{"requestOk", "requestOk", "requestOk", "postFail", "requestFail"}));

    std::vector<OddServer::Seen> seen = odd.requests();
    ASSERT_EQ(seen.size(), 5u) << "nothing went on to /elsewhere";
    EXPECT_EQ(seen[0].line, "GET /api/get-scores?gamename=a%26b&querytype=1&offset=40&limit=20&flags=3&category=");
    EXPECT_EQ(seen[1].line,
              "GET /api/get-scores?gamename=a%26b&querytype=0&offset=0&limit=5&flags=0&category=x%20y%26z%3D%2B");
}

TEST_F(ScoreClient, WithNoServiceSetNothingStarts) {
    LogRecorder lines;
    RefPtr<ScoreServerPost> p = ScoreServerPost::serverWithGameName(kGame, kKey, outcomes.get());
    EXPECT_FALSE(p->sendScore({{"score", 1}}));
    EXPECT_FALSE(ScoreServerRequest::serverWithGameName(kGame, outcomes.get())->requestScores(0, 1, 0, 0));
    EXPECT_EQ(p->postStatus(), 1);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("no score service"), std::string::npos) << lines[0];
    EXPECT_EQ(URLConnection::openConnections(), 0u);

    // The environment names the service when the game has not.
    OddServer odd;
    odd.server().Post("/api/post-score", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("OK", "text/plain");
    });
    setenv("TV_SCORE_SERVER_URL", odd.url().c_str(), 1);
    EXPECT_TRUE(p->sendScore({{"score", 1}}));
    unsetenv("TV_SCORE_SERVER_URL");
    EXPECT_TRUE(frames(1));
    EXPECT_EQ(outcomes->events, std::vector<std::string>{"postOk"});
}

TEST_F(ScoreClient, TheDeviceIdentifierIsKeptBesideTheSettings) {
    std::string id = platform::Device::uniqueIdentifier();
    EXPECT_THAT(id, ::testing::MatchesRegex("[0-9a-f]{32}"));
    EXPECT_EQ(platform::Device::uniqueIdentifier(), id);
    const std::string file = config.file("tindervale/device-id");
    EXPECT_EQ(platform::Device::identifierFilePath(), file);
    EXPECT_EQ(readText(file).substr(0, id.size()), id);
    // A damaged file gives way to a new identifier, kept from then on.
    writeText(file, "not an id");
    std::string fresh = platform::Device::uniqueIdentifier();
    EXPECT_NE(fresh, id);
    EXPECT_EQ(platform::Device::uniqueIdentifier(), fresh);
}

// The service on its own, over plain HTTP.
TEST_F(ScoreClient, TheServiceBoundsWhatItTakes) {
    Service service(db);
    httplib::Client http("127.0.0.1", service.port());
    auto postForm = [&](const std::string& body) {
        auto res = http.Post("/api/post-score", body, "application/x-www-form-urlencoded");
        return res ? std::make_pair(res->status, res->body) : std::make_pair(0, std::string());
    };
    EXPECT_EQ(postForm(signedForm({{"score", "5"}}, "d1")), std::make_pair(200, std::string("OK")));

    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i < 40; ++i) many.emplace_back("f" + std::to_string(i), "v");
    many.emplace_back("score", "1");
    const std::pair<const char*, std::string> refused[] = {
        {"too many fields", signedForm(many, "d1")},
        {"a body too large", signedForm({{"score", "1"}, {"pad", std::string(20000, 'x')}}, "d1")},
        {"a value too long", signedForm({{"score", "1"}, {"pad", std::string(2000, 'x')}}, "d1")},
        {"no score", signedForm({{"name", "x"}}, "d1")},
        {"a score that is no number", signedForm({{"score", "12abc"}}, "d1")},
        {"a broken escape", signedForm({{"score", "1"}}, "d1") + "&x=%4"},
        {"no device", signedForm({{"score", "1"}}, "")},
        {"another protocol", "score=1&cc_device_id=d&cc_gamename=tindervale-test&cc_hash=" +
                                 md5Hex(std::string("1") + kKey) + "&cc_prot_ver=2.0"},
        {"an unknown game", "score=1&cc_device_id=d&cc_gamename=nope&cc_hash=x&cc_prot_ver=1.0"},
        {"a key field twice", signedForm({{"score", "1"}, {"score", "2"}}, "d1")},
        {"a name the service answers with", signedForm({{"score", "1"}, {"position", "1"}}, "d1")},
    };
    for (const auto& [what, form] : refused) {
        auto [status, body] = postForm(form);
        EXPECT_GE(status, 400) << what;
        EXPECT_NE(body, "OK") << what;
    }
    for (const auto& [query, status] : std::vector<std::pair<std::string, int>>{
             {"gamename=nope", 404}, {"querytype=9", 400}, {"limit=0", 400}, {"offset=-1", 400}, {"flags=x", 400}}) {
        auto res = http.Get("/api/get-scores?" + (status == 404 ? query : "gamename=" + std::string(kGame) + "&" + query));
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, status) << query;
    }
}

TEST_F(ScoreClient, TheServicePagesRanksAndSurvivesBeingKilled) {
    {
        Service service(db);
        httplib::Client http("127.0.0.1", service.port());
        // 105 records from three devices.
        for (int i = 0; i < 105; ++i) {
            std::string device = "d" + std::to_string(i % 3);
            auto res = http.Post("/api/post-score", signedForm({{"name", "n" + std::to_string(i)},
                                                                 {"score", std::to_string(i)}}, device),
                                 "application/x-www-form-urlencoded");
            ASSERT_TRUE(res && res->body == "OK") << i;
        }
        EXPECT_TRUE(WIFSIGNALED(service.stop(SIGKILL)));
    }
    Service again(db);
    setScoreServerURL(again.url());
    std::optional<JSONValue> all = query(0, 1000, 0, 0);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 100u); // the limit is capped
    EXPECT_EQ((*all)[0]["name"].asString(), "n104");
    EXPECT_EQ((*all)[99]["position"].asNumber(), 100);
    // The best of each device.
    EXPECT_EQ(names(query(0, 10, 0, 2)), (std::vector<std::string>{"n104", "n103", "n102"}));
    EXPECT_EQ(names(query(0, 2, 0, 3)), (std::vector<std::string>{"n0", "n1"}));
    EXPECT_EQ(query(2, 10, 0, 0)->size(), 10u);
    EXPECT_EQ(query(0, 10, 100, 0)->size(), 5u);
}
