#pragma once
// Asynchronous HTTP loading over libcurl's multi interface. Transfers move
// forward once per frame, from a timer on the engine's scheduler, so every
// delegate call arrives on the main thread, between frames' timers, and
// never from inside libcurl. No threads.
//
// Redirects are never followed: a 3xx answer is handed over like any other.

#include "engine/Ref.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class URLConnection;

struct URLRequest {
    std::string url;
    std::string method = "GET"; // "GET" or "POST"
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    double timeoutInterval = 10; // seconds for the whole transfer
    // An answer longer than this fails the transfer: answers come from outside.
    size_t maxAnswerBytes = 4 << 20;
};

struct URLResponse {
    long statusCode = 0;
};

struct URLError {
    std::string localizedDescription;
};

class URLConnectionDelegate {
  public:
    virtual ~URLConnectionDelegate() = default;
    // The answer's status, before its data.
    virtual void connection(URLConnection*, const URLResponse&) {}
    // The next part of the answer's body.
    virtual void connection(URLConnection*, std::string_view) {}
    // The transfer failed (no connection, time-out, answer too large...).
    virtual void connection(URLConnection*, const URLError&) {}
    virtual void connectionDidFinishLoading(URLConnection*) {}
};

class URLConnection : public Ref {
  public:
    // Starts loading `request`; the connection keeps `owner` (the delegate's
    // object) alive until it has finished or failed. Null when the transfer
    // cannot be set up.
    static RefPtr<URLConnection> connectionWithRequest(const URLRequest& request, URLConnectionDelegate* delegate,
                                                       Ref* owner);
    ~URLConnection() override;

    // Stops the transfer; the delegate hears nothing more.
    void cancel();
    const URLRequest& request() const { return request_; }

    // Moves every open transfer forward and delivers what arrived. The
    // scheduled per-frame update calls it; tests may call it directly.
    static void performPending();
    static size_t openConnections();

  private:
    URLConnection() = default;
    static size_t write(char* data, size_t size, size_t count, void* self);
    void deliverArrived();
    void finish(int curlResult);

    URLRequest request_;
    URLConnectionDelegate* delegate_ = nullptr;
    RefPtr<Ref> owner_;
    void* easy_ = nullptr;    // CURL*
    void* headers_ = nullptr; // curl_slist*
    char errorText_[256] = {};
    std::string arrived_;
    size_t answerBytes_ = 0;
    bool responseDelivered_ = false;
    bool tooLarge_ = false;
};
