#include "scores/ScoreServerRequest.h"

#include "platform/Log.h"
#include "scores/CJSONDeserializer.h"

RefPtr<ScoreServerRequest> ScoreServerRequest::serverWithGameName(std::string_view gameName,
                                                                  ScoreServerDelegate* delegate) {
    RefPtr<ScoreServerRequest> request = makeRef<ScoreServerRequest>();
    if (!request->initWithGameName(gameName, delegate)) return nullptr;
    return request;
}

bool ScoreServerRequest::initWithGameName(std::string_view gameName, ScoreServerDelegate* delegate) {
    gameName_ = scoreServerEscape(gameName);
    delegate_ = delegate;
    return true;
}

bool ScoreServerRequest::requestScores(int32_t type, int32_t limit, int32_t offset, int32_t flags) {
    return requestScores(type, limit, offset, flags, "");
}

bool ScoreServerRequest::requestScores(int32_t type, int32_t limit, int32_t offset, int32_t flags,
                                       std::string_view category) {
    if (connection_) {
        platform::ccLog("ScoreServerRequest: a query is still under way; not starting another");
        return false;
    }
    receivedData_.clear();
    statusCode_ = 0;
    std::string endpoint = scoreServerEndpoint("/api/get-scores", "ScoreServerRequest");
    if (endpoint.empty()) return false;
    URLRequest request;
    request.url = endpoint + "?gamename=" + gameName_ + "&querytype=" + std::to_string(type) +
                  "&offset=" + std::to_string(offset) + "&limit=" + std::to_string(limit) +
                  "&flags=" + std::to_string(flags) + "&category=" + scoreServerEscape(category);
    request.timeoutInterval = timeoutInterval_;
    lastURL_ = request.url;
    connection_ = URLConnection::connectionWithRequest(request, this, this);
    if (!connection_) {
        platform::ccLog("ScoreServerRequest: the connection could not be started");
        return false;
    }
    return true;
}

std::optional<JSONValue> ScoreServerRequest::parseScores() const {
    JSONError error;
    std::optional<JSONDictionary> answer =
        CJSONDeserializer::deserializer()->deserializeAsDictionary(receivedData_, &error);
    if (!answer) return std::nullopt;
    const JSONValue* scores = answer->find("scores");
    if (!scores) return std::nullopt;
    return *scores;
}

void ScoreServerRequest::connection(URLConnection*, const URLResponse& response) {
    receivedData_.clear();
    statusCode_ = response.statusCode;
}

void ScoreServerRequest::connection(URLConnection*, std::string_view data) { receivedData_.append(data); }

void ScoreServerRequest::connection(URLConnection*, const URLError& error) {
    RefPtr<ScoreServerRequest> self(this);
    connection_ = nullptr;
    platform::ccLogf("ScoreServerRequest: the query failed: %s", error.localizedDescription.c_str());
    if (delegate_) delegate_->scoreRequestFail(this);
}

void ScoreServerRequest::connectionDidFinishLoading(URLConnection*) {
    RefPtr<ScoreServerRequest> self(this);
    connection_ = nullptr;
    // A redirect or an error status is no answer to read.
    bool ok = statusCode_ >= 200 && statusCode_ < 300;
    if (!ok) platform::ccLogf("ScoreServerRequest: the service answered HTTP %ld", statusCode_);
    if (!delegate_) return;
    if (ok)
        delegate_->scoreRequestOk(this);
    else
        delegate_->scoreRequestFail(this);
}
