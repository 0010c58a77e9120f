#pragma once
// Fetches the published feeds with WinHTTP from a thread of its own, at once and then every few minutes,
// through the user's proxy settings (an automatic configuration script included). A server that is slow,
// away or never answers only ever holds this thread; each answer reaches the window thread through the
// program's task queue.
#include "content/WebAddress.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plumwick {

struct FeedRequest {
    std::u16string source; // the .url below the content folder
    WebAddress address;
    // The validators of the copy the display has, for a conditional request.
    std::string etag;
    std::string lastModified;
};

struct FeedResult {
    enum class Outcome { Fresh, NotModified, Failed };
    Outcome outcome = Outcome::Failed;
    std::u16string source;
    std::u16string url; // the address asked for, as FormatWebAddress writes it
    std::string body;   // Fresh: at most kFeedMaxBytes
    std::string etag;   // Fresh: the answer's validators
    std::string lastModified;
    std::u16string error; // Failed: the call or answer that failed, and why
};

class FeedFetcher {
  public:
    // On the window thread, for every fetch.
    using ResultHandler = std::function<void(FeedResult)>;

    explicit FeedFetcher(ResultHandler onResult);
    // Tells the thread to stop and does not wait for a fetch under way: the thread ends by itself after it,
    // and its answer is dropped.
    ~FeedFetcher();
    FeedFetcher(const FeedFetcher&) = delete;
    FeedFetcher& operator=(const FeedFetcher&) = delete;

    // The feeds to fetch from now on, each at once and then every period; an empty list fetches none.
    // A fetch under way for the set before finishes first.
    void Fetch(std::vector<FeedRequest> feeds);

  private:
    struct Shared;
    static unsigned long __stdcall ThreadMain(void* parameter);
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

} // namespace plumwick
