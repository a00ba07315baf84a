// Answers from the score service, as the clients receive them: a status,
// then the body in pieces, then the end. The first byte picks the status, the
// second the piece size; the rest is the body. Whatever arrives, each client
// reports exactly one outcome and the query's records are JSON or none.
#include "scores/ScoreServerPost.h"
#include "scores/ScoreServerRequest.h"

#include <algorithm>
#include <cstdlib>

namespace {
struct Outcomes : ScoreServerDelegate {
    int count = 0;
    void scorePostOk(ScoreServerPost*) override { ++count; }
    void scorePostFail(ScoreServerPost*) override { ++count; }
    void scoreRequestOk(ScoreServerRequest*) override { ++count; }
    void scoreRequestFail(ScoreServerRequest*) override { ++count; }
};

void deliver(URLConnectionDelegate& client, long status, size_t piece, std::string_view body) {
    client.connection(nullptr, URLResponse{status});
    for (size_t at = 0; at < body.size(); at += piece)
        client.connection(nullptr, body.substr(at, piece));
    client.connectionDidFinishLoading(nullptr);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const long kStatuses[] = {200, 201, 204, 301, 302, 400, 404, 500, 0, 99, 999, -1};
    if (size < 2) return 0;
    long status = kStatuses[data[0] % std::size(kStatuses)];
    size_t piece = std::max<size_t>(1, data[1]);
    std::string_view body(reinterpret_cast<const char*>(data + 2), size - 2);

    RefPtr<Outcomes> outcomes = makeRef<Outcomes>();
    RefPtr<ScoreServerRequest> request = ScoreServerRequest::serverWithGameName("Fuzz", outcomes.get());
    deliver(*request, status, piece, body);
    (void)request->parseScores();
    RefPtr<ScoreServerPost> post = ScoreServerPost::serverWithGameName("Fuzz", "key", outcomes.get());
    deliver(*post, status, piece, body);
    if (outcomes->count != 2) std::abort();
    return 0;
}
