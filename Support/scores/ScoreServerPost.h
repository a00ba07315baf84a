#pragma once
// Submits one score record to the score service as a signed form post to
// "/api/post-score". The record's fields go in ascending order of their keys
// (compared without regard to case), followed by the device identifier, the
// game's name, the MD5 digest (lowercase hexadecimal) of the record's values
// in that order followed by the game's key, and the protocol version "1.0".
// The key itself is never sent.
//
// A client may send again once its post has finished; each send starts a
// fresh form.

#include "scores/JSONValue.h"
#include "scores/ScoreServer.h"
#include "scores/URLConnection.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct evp_md_ctx_st;

class ScoreServerPost : public Ref, public URLConnectionDelegate {
  public:
    enum : int32_t {
        kPostOk = 0,       // also while a post is under way
        kPostNoConnection = 1,
        kPostRefused = 2,  // the service answered anything but "OK"
    };

    static RefPtr<ScoreServerPost> serverWithGameName(std::string gameName, std::string gameKey,
                                                      ScoreServerDelegate* delegate);
    ScoreServerPost();
    ~ScoreServerPost() override;
    bool initWithGameName(std::string gameName, std::string gameKey, ScoreServerDelegate* delegate);

    // Values must be texts or numbers (a boolean counts as the number 1 or 0);
    // anything else raises "Invalid format for value" before anything is sent.
    // False when the post could not be started: with no service set (then
    // postStatus() is 1) or while this client's previous post is under way.
    bool sendScore(const JSONDictionary& record);
    int32_t postStatus() const { return postStatus_; }
    // Seconds before a post gives up; 10 unless changed (tests use less).
    void setTimeoutInterval(double seconds) { timeoutInterval_ = seconds; }

    // The steps of sendScore.
    void calculateHashAndAddValue(const JSONValue& value, const std::string& key);
    void addValue(std::string_view value, std::string_view key);
    std::string getBodyValues() const;
    std::string getHashForData();
    static std::string encodeData(std::string_view text);

    // URL loading.
    void connection(URLConnection*, const URLResponse& response) override;
    void connection(URLConnection*, std::string_view data) override;
    void connection(URLConnection*, const URLError& error) override;
    void connectionDidFinishLoading(URLConnection*) override;

    const std::string& gameName() const { return gameName_; }
    const std::string& receivedData() const { return receivedData_; }

  private:
    std::string gameKey_;
    std::string gameName_;
    RefPtr<ScoreServerDelegate> delegate_;
    std::string receivedData_;
    std::vector<std::string> bodyValues_;
    int32_t postStatus_ = kPostOk;
    evp_md_ctx_st* md5Ctx_ = nullptr;
    RefPtr<URLConnection> connection_;
    long statusCode_ = 0;
    double timeoutInterval_ = 10;
};
