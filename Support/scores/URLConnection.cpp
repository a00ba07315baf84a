#include "scores/URLConnection.h"

#include "engine/Scheduler.h"
#include "platform/Log.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

namespace {

// The shared multi handle, the open transfers and the per-frame update that drives them.
struct Loader {
    CURLM* multi = nullptr;
    std::vector<RefPtr<URLConnection>> open;
    RefPtr<Ref> pump = makeRef<Ref>();
    WeakPtr<Scheduler> scheduler;
    RefPtr<Timer> timer;

    Loader() {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        multi = curl_multi_init();
    }

    // Makes sure the current scheduler fires the update every frame.
    void ensureScheduled() {
        Scheduler* current = Scheduler::sharedScheduler();
        if (timer && scheduler.get() == current) return;
        scheduler = current;
        timer = current->scheduleTarget(pump.get(), "performPending",
                                        [](float) { URLConnection::performPending(); });
    }

    void unscheduleWhenIdle() {
        if (!open.empty() || !timer) return;
        if (Scheduler* s = scheduler.get(); s && s == Scheduler::sharedScheduler()) s->unscheduleTimer(timer.get());
        timer = nullptr;
    }
};

Loader& loader() {
    static Loader* l = new Loader(); // lives until the process ends: transfers may be open at exit
    return *l;
}

} // namespace

RefPtr<URLConnection> URLConnection::connectionWithRequest(const URLRequest& request,
                                                           URLConnectionDelegate* delegate, Ref* owner) {
    Loader& l = loader();
    if (!l.multi) return nullptr;
    RefPtr<URLConnection> c(new URLConnection());
    c->request_ = request;
    c->delegate_ = delegate;
    c->owner_ = owner;
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    c->easy_ = easy;
    curl_easy_setopt(easy, CURLOPT_URL, c->request_.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Scores are sent now and then: no idle connection is kept open between them.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, c->errorText_);
    long ms = static_cast<long>(std::max(0.001, request.timeoutInterval) * 1000);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, ms);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, ms);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &URLConnection::write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, c.get());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, c.get());
    if (c->request_.method == "POST") {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, c->request_.body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(c->request_.body.size()));
    }
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    for (const auto& [name, value] : c->request_.headers)
        headers = curl_slist_append(headers, (name + ": " + value).c_str());
    c->headers_ = headers;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    if (curl_multi_add_handle(l.multi, easy) != CURLM_OK) return nullptr;
    l.open.push_back(c);
    l.ensureScheduled();
    return c;
}

URLConnection::~URLConnection() {
    if (easy_) curl_easy_cleanup(static_cast<CURL*>(easy_));
    if (headers_) curl_slist_free_all(static_cast<curl_slist*>(headers_));
}

size_t URLConnection::write(char* data, size_t size, size_t count, void* self) {
    auto* c = static_cast<URLConnection*>(self);
    size_t n = size * count;
    if (c->answerBytes_ + n > c->request_.maxAnswerBytes) {
        c->tooLarge_ = true;
        return 0; // ends the transfer with a write error
    }
    c->answerBytes_ += n;
    c->arrived_.append(data, n);
    return n;
}

void URLConnection::cancel() {
    Loader& l = loader();
    auto it = std::find(l.open.begin(), l.open.end(), this);
    if (it == l.open.end()) return;
    RefPtr<URLConnection> self(this);
    curl_multi_remove_handle(l.multi, static_cast<CURL*>(easy_));
    l.open.erase(it);
    delegate_ = nullptr;
    owner_ = nullptr;
}

size_t URLConnection::openConnections() { return loader().open.size(); }

void URLConnection::deliverArrived() {
    if (!delegate_) return;
    if (!responseDelivered_) {
        responseDelivered_ = true;
        URLResponse response;
        curl_easy_getinfo(static_cast<CURL*>(easy_), CURLINFO_RESPONSE_CODE, &response.statusCode);
        delegate_->connection(this, response);
    }
    if (!arrived_.empty() && delegate_) {
        std::string data = std::move(arrived_);
        arrived_.clear();
        delegate_->connection(this, std::string_view(data));
    }
}

void URLConnection::finish(int curlResult) {
    URLConnectionDelegate* delegate = delegate_;
    RefPtr<Ref> owner = std::move(owner_);
    delegate_ = nullptr;
    if (!delegate) return;
    if (curlResult == CURLE_OK) {
        delegate->connectionDidFinishLoading(this);
        return;
    }
    URLError error;
    if (tooLarge_)
        error.localizedDescription = "the answer is larger than " + std::to_string(request_.maxAnswerBytes) + " bytes";
    else
        error.localizedDescription = errorText_[0] ? errorText_ : curl_easy_strerror(static_cast<CURLcode>(curlResult));
    delegate->connection(this, error);
}

void URLConnection::performPending() {
    Loader& l = loader();
    if (l.open.empty()) {
        l.unscheduleWhenIdle();
        return;
    }
    int running = 0;
    curl_multi_perform(l.multi, &running);

    // Delegates may start or cancel transfers: walk a copy.
    std::vector<RefPtr<URLConnection>> open = l.open;
    for (const RefPtr<URLConnection>& c : open)
        if (!c->arrived_.empty()) c->deliverArrived();

    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(l.multi, &left)) {
        if (message->msg != CURLMSG_DONE) continue;
        CURL* easy = message->easy_handle;
        CURLcode result = message->data.result;
        URLConnection* raw = nullptr;
        curl_easy_getinfo(easy, CURLINFO_PRIVATE, reinterpret_cast<char**>(&raw));
        auto it = std::find(l.open.begin(), l.open.end(), raw);
        if (it == l.open.end()) continue;
        RefPtr<URLConnection> c = *it;
        l.open.erase(it);
        curl_multi_remove_handle(l.multi, easy);
        if (result == CURLE_OK) c->deliverArrived();
        c->finish(result);
    }
    l.unscheduleWhenIdle();
}
