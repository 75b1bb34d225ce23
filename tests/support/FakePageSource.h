#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "check/PageSource.h"

namespace lumo::test {

// Serves canned page bodies by address and records every request. Thread-safe. An unknown
// address gets an empty body, as a failed fetch does. An optional hook runs inside fetchPage
// before it returns (to stop monitoring mid-fetch, for example).
class FakePageSource : public PageSource {
public:
    struct Request {
        Text url;
        Text cookie;
        Text headers;
    };

    void setPage(const Text& url, const Bytes& body) {
        std::lock_guard lock(mutex_);
        pages_[url] = body;
    }

    Bytes fetchPage(const Text& url, const Text& cookie, const Text& headers) override {
        std::function<void()> hook;
        Bytes body;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back({url, cookie, headers});
            const auto found = pages_.find(url);
            if (found != pages_.end()) body = found->second;
            hook = onFetch;
        }
        if (hook) hook();
        return body;
    }

    std::vector<Request> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    std::function<void()> onFetch;

private:
    mutable std::mutex mutex_;
    std::map<Text, Bytes> pages_;
    std::vector<Request> requests_;
};

}  // namespace lumo::test
