#include "scores/ScoreServerPost.h"

#include "engine/Errors.h"
#include "platform/Device.h"
#include "platform/Log.h"

#include <openssl/evp.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Ascending, without regard to case; keys equal that way keep a fixed order by their bytes.
bool keyBefore(const std::string& a, const std::string& b) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; };
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = lower(static_cast<unsigned char>(a[i])), y = lower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

} // namespace

RefPtr<ScoreServerPost> ScoreServerPost::serverWithGameName(std::string gameName, std::string gameKey,
                                                            ScoreServerDelegate* delegate) {
    RefPtr<ScoreServerPost> post = makeRef<ScoreServerPost>();
    if (!post->initWithGameName(std::move(gameName), std::move(gameKey), delegate)) return nullptr;
    return post;
}

ScoreServerPost::ScoreServerPost() : md5Ctx_(EVP_MD_CTX_new()) {}

ScoreServerPost::~ScoreServerPost() { EVP_MD_CTX_free(md5Ctx_); }

bool ScoreServerPost::initWithGameName(std::string gameName, std::string gameKey, ScoreServerDelegate* delegate) {
    gameName_ = std::move(gameName);
    gameKey_ = std::move(gameKey);
    delegate_ = delegate;
    bodyValues_.reserve(5);
    return md5Ctx_ != nullptr;
}

bool ScoreServerPost::sendScore(const JSONDictionary& record) {
    if (connection_) {
        // The post under way keeps its status.
        platform::ccLogf("ScoreServerPost: a post for %s is still under way; not sending another", gameName_.c_str());
        return false;
    }
    receivedData_.clear();
    postStatus_ = kPostOk;
    statusCode_ = 0;
    // Every value must be usable before anything is built.
    for (const auto& [key, value] : record)
        if (!value.isString() && !value.isNumber() && !value.isBoolean())
            ccRaise("Invalid format for value", "Invalid format for value. addValue");

    URLRequest request;
    request.url = scoreServerEndpoint("/api/post-score", "ScoreServerPost");
    if (request.url.empty()) {
        postStatus_ = kPostNoConnection;
        return false;
    }
    request.method = "POST";
    request.timeoutInterval = timeoutInterval_;
    request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");

    EVP_DigestInit_ex(md5Ctx_, EVP_md5(), nullptr);
    bodyValues_.clear();
    std::vector<const std::string*> keys;
    for (const auto& entry : record) keys.push_back(&entry.first);
    std::sort(keys.begin(), keys.end(), [](const std::string* a, const std::string* b) { return keyBefore(*a, *b); });
    for (const std::string* key : keys) calculateHashAndAddValue(record[*key], *key);

    addValue(platform::Device::uniqueIdentifier(), "cc_device_id");
    addValue(gameName_, "cc_gamename");
    addValue(getHashForData(), "cc_hash");
    addValue("1.0", "cc_prot_ver");
    request.body = getBodyValues();

    connection_ = URLConnection::connectionWithRequest(request, this, this);
    if (!connection_) {
        platform::ccLog("ScoreServerPost: the connection could not be started");
        postStatus_ = kPostNoConnection;
        return false;
    }
    return true;
}

void ScoreServerPost::calculateHashAndAddValue(const JSONValue& value, const std::string& key) {
    std::string text;
    if (value.isString()) {
        text = value.asString();
    } else if (value.isBoolean()) {
        text.assign(1, value.asBoolean() ? '1' : '0');
    } else if (value.isNumber() && std::isfinite(value.asNumber())) {
        char buffer[32];
        text.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, value.asNumber()).ptr);
    } else {
        ccRaise("Invalid format for value", "Invalid format for value. addValue");
    }
    addValue(text, key);
    EVP_DigestUpdate(md5Ctx_, text.data(), text.size());
}

void ScoreServerPost::addValue(std::string_view value, std::string_view key) {
    bodyValues_.push_back(encodeData(key) + "=" + encodeData(value));
}

std::string ScoreServerPost::getBodyValues() const {
    std::string body;
    for (size_t i = 0; i < bodyValues_.size(); ++i) {
        if (i) body += '&';
        body += bodyValues_[i];
    }
    return body;
}

std::string ScoreServerPost::getHashForData() {
    EVP_DigestUpdate(md5Ctx_, gameKey_.data(), gameKey_.size());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(md5Ctx_, digest, &size);
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0xF];
    }
    return text;
}

std::string ScoreServerPost::encodeData(std::string_view text) { return scoreServerEscape(text); }

void ScoreServerPost::connection(URLConnection*, const URLResponse& response) {
    receivedData_.clear();
    statusCode_ = response.statusCode;
}

void ScoreServerPost::connection(URLConnection*, std::string_view data) { receivedData_.append(data); }

void ScoreServerPost::connection(URLConnection*, const URLError& error) {
    RefPtr<ScoreServerPost> self(this);
    connection_ = nullptr;
    platform::ccLogf("ScoreServerPost: the post for %s failed: %s", gameName_.c_str(), error.localizedDescription.c_str());
    postStatus_ = kPostNoConnection;
    if (delegate_) delegate_->scorePostFail(this);
}

void ScoreServerPost::connectionDidFinishLoading(URLConnection*) {
    RefPtr<ScoreServerPost> self(this);
    connection_ = nullptr;
    // Only a success status with exactly "OK" is an accepted score; a
    // redirect, an error page or "OK\n" is not.
    bool accepted = statusCode_ >= 200 && statusCode_ < 300 && receivedData_ == "OK";
    postStatus_ = accepted ? kPostOk : kPostRefused;
    if (!accepted)
        platform::ccLogf("ScoreServerPost: the service refused the post for %s (HTTP %ld)", gameName_.c_str(), statusCode_);
    if (!delegate_) return;
    if (accepted)
        delegate_->scorePostOk(this);
    else
        delegate_->scorePostFail(this);
}
