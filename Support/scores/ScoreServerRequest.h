#pragma once
// Asks the score service for a page of scores (GET "/api/get-scores") and
// reads the JSON answer {"scores":[...]}.
//
// The query type, flags and category mean what the service makes of them;
// the service in server/ documents its meanings (README).

#include "scores/JSONValue.h"
#include "scores/ScoreServer.h"
#include "scores/URLConnection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class ScoreServerRequest : public Ref, public URLConnectionDelegate {
  public:
    static RefPtr<ScoreServerRequest> serverWithGameName(std::string_view gameName, ScoreServerDelegate* delegate);
    bool initWithGameName(std::string_view gameName, ScoreServerDelegate* delegate);

    // False when the query could not be started (no service set, a query still under way).
    bool requestScores(int32_t type, int32_t limit, int32_t offset, int32_t flags, std::string_view category);
    bool requestScores(int32_t type, int32_t limit, int32_t offset, int32_t flags);
    // The records of the last answer (the value under "scores"), or none when
    // the answer is not a JSON dictionary or has no "scores".
    std::optional<JSONValue> parseScores() const;
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }
    // The URL of the last query.
    const std::string& lastURL() const { return lastURL_; }
    const std::string& receivedData() const { return receivedData_; }

    void connection(URLConnection*, const URLResponse& response) override;
    void connection(URLConnection*, std::string_view data) override;
    void connection(URLConnection*, const URLError& error) override;
    void connectionDidFinishLoading(URLConnection*) override;

  private:
    std::string gameName_; // escaped
    RefPtr<ScoreServerDelegate> delegate_;
    std::string receivedData_;
    RefPtr<URLConnection> connection_;
    long statusCode_ = 0;
    double timeoutInterval_ = 10;
    std::string lastURL_;
};
