#pragma once
// What the two score clients share: the delegate they report to, the
// service's address and the escaping of form fields and query values.

#include "engine/Ref.h"

#include <string>
#include <string_view>

class ScoreServerPost;
class ScoreServerRequest;

// Told about the outcome of a post or a query. Every message is optional.
class ScoreServerDelegate : public Ref {
  public:
    virtual void scorePostOk(ScoreServerPost*) {}
    virtual void scorePostFail(ScoreServerPost*) {}
    virtual void scoreRequestOk(ScoreServerRequest*) {}
    virtual void scoreRequestFail(ScoreServerRequest*) {}
};

// The score service's address — scheme, host and port, with or without a
// path prefix, e.g. "http://127.0.0.1:8080" — set by the game. The
// environment variable TV_SCORE_SERVER_URL, when set and not empty, wins.
// With neither, posts and queries do not start.
void setScoreServerURL(std::string url);
std::string scoreServerURL();
// The address plus `path`; empty (and one log line naming `who`) when no address is set.
std::string scoreServerEndpoint(std::string_view path, const char* who);

// Percent-escapes every byte but ASCII letters, digits and "-._~", so that
// "&", "=", "+" and spaces arrive as they were.
std::string scoreServerEscape(std::string_view text);
