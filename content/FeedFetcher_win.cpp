#include "content/FeedFetcher_win.h"

#include "common/TextUtil.h"
#include "content/FeedBody.h"
#include "content/FeedFetch.h"
#include "win32/Handles_win.h"
#include "win32/Result_win.h"
#include "win32/Strings_win.h"
#include "win32/UiTask_win.h"
#include "win32/Windows_win.h"

#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>

namespace plumwick {

namespace {

using UniqueInternet = win::UniqueAny<HINTERNET, &WinHttpCloseHandle>;

void FreeGlobalText(LPWSTR text) {
    GlobalFree(text);
}
using UniqueGlobalText = win::UniqueAny<LPWSTR, &FreeGlobalText>;

// WinHTTP's own errors have their texts in winhttp.dll, not in the system's table. Made as every failure
// is, so the log has it too.
std::u16string Failure(const wchar_t* call, DWORD error) {
    return win::ToU16(win::Result::Failed(call, error, GetModuleHandleW(L"winhttp.dll")).Text());
}

std::u16string LastFailure(const wchar_t* call) {
    return Failure(call, GetLastError());
}

// A header of the answer as text; nothing when the answer has none.
std::optional<std::wstring> Header(HINTERNET request, DWORD which) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                        WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    value.resize(bytes / sizeof(wchar_t));
    return value;
}

std::string Ascii(const std::optional<std::wstring>& value) {
    std::string out;
    if (value) {
        for (wchar_t c : *value) {
            if (c < 0x20 || c > 0x7E) {
                return {}; // validators are ASCII; anything else is not sent back
            }
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The proxy the user's settings give for this address: the automatic configuration (a script, or
// detection) when there is one and it answers, else the proxy named in the settings, else none.
void UseProxy(HINTERNET session, HINTERNET request, const std::wstring& url) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) {
        return; // direct
    }
    UniqueGlobalText autoConfigUrl(config.lpszAutoConfigUrl);
    UniqueGlobalText proxy(config.lpszProxy);
    UniqueGlobalText bypass(config.lpszProxyBypass);
    if (config.fAutoDetect || autoConfigUrl) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        if (autoConfigUrl) {
            options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
            options.lpszAutoConfigUrl = autoConfigUrl.get();
        }
        if (config.fAutoDetect) {
            options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
            options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
        }
        options.fAutoLogonIfChallenged = TRUE;
        WINHTTP_PROXY_INFO info{};
        if (WinHttpGetProxyForUrl(session, url.c_str(), &options, &info)) {
            UniqueGlobalText infoProxy(info.lpszProxy);
            UniqueGlobalText infoBypass(info.lpszProxyBypass);
            WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info);
            return;
        }
    }
    if (proxy) {
        WINHTTP_PROXY_INFO info{WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.get(), bypass.get()};
        WinHttpSetOption(request, WINHTTP_OPTION_PROXY, &info, sizeof info);
    }
}

FeedResult FetchOne(HINTERNET session, const FeedRequest& feed, const std::atomic<bool>& stopping) {
    FeedResult result;
    result.source = feed.source;
    result.url = FormatWebAddress(feed.address);
    const ULONGLONG deadline = GetTickCount64() + kFeedTimeoutMs;
    WebAddress address = feed.address;
    const std::wstring headers = win::ToWide(ConditionalHeaders(feed.etag, feed.lastModified));
    for (int hop = 0;; ++hop) {
        UniqueInternet connection(WinHttpConnect(session, win::ToWide(address.host).c_str(),
                                                 static_cast<INTERNET_PORT>(address.port), 0));
        if (!connection) {
            result.error = LastFailure(L"WinHttpConnect");
            return result;
        }
        UniqueInternet request(WinHttpOpenRequest(
            connection.get(), L"GET", win::ToWide(address.pathAndQuery).c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, address.https ? WINHTTP_FLAG_SECURE : 0));
        if (!request) {
            result.error = LastFailure(L"WinHttpOpenRequest");
            return result;
        }
        // Every wait of this hop ends with the fetch's own time-out, however the time was spent before. The
        // wait for the answer's head has a time-out of its own, which would otherwise be unlimited.
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            result.error = u"no answer within 10 s";
            return result;
        }
        int left = static_cast<int>(deadline - now);
        WinHttpSetTimeouts(request.get(), left, left, left, left);
        DWORD responseTimeout = static_cast<DWORD>(left);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                         sizeof responseTimeout);
        // Redirects are followed here, where a change of scheme other than http to https is refused.
        DWORD feature = WINHTTP_DISABLE_REDIRECTS;
        WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature);
        UseProxy(session, request.get(), win::ToWide(FormatWebAddress(address)));
        if (!WinHttpSendRequest(
                request.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                headers.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
            result.error = LastFailure(L"WinHttpSendRequest");
            return result;
        }
        if (!WinHttpReceiveResponse(request.get(), nullptr)) {
            result.error = LastFailure(L"WinHttpReceiveResponse");
            return result;
        }
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
            result.error = LastFailure(L"WinHttpQueryHeaders");
            return result;
        }
        switch (ClassifyFeedStatus(static_cast<int>(status))) {
        case FeedAnswer::NotModified:
            result.outcome = FeedResult::Outcome::NotModified;
            return result;
        case FeedAnswer::Redirect: {
            std::optional<std::wstring> location = Header(request.get(), WINHTTP_QUERY_LOCATION);
            if (!location) {
                result.error = u"HTTP " + win::ToU16(std::to_wstring(status)) + u" without a Location";
                return result;
            }
            WebAddressResult next = FollowRedirect(address, win::ToU16(*location));
            if (!next.address) {
                result.error = u"redirect refused: " + Utf8ToUtf16(next.error);
                return result;
            }
            if (hop + 1 > kMaxFeedRedirects) {
                result.error = u"too many redirects";
                return result;
            }
            address = *next.address;
            continue;
        }
        case FeedAnswer::Failed:
            result.error = u"HTTP " + win::ToU16(std::to_wstring(status));
            return result;
        case FeedAnswer::Fresh:
            break;
        }
        std::string body;
        while (true) {
            if (stopping || GetTickCount64() > deadline) {
                result.error = u"no whole answer within 10 s";
                return result;
            }
            char buffer[16 * 1024];
            DWORD got = 0;
            if (!WinHttpReadData(request.get(), buffer, sizeof buffer, &got)) {
                result.error = LastFailure(L"WinHttpReadData");
                return result;
            }
            if (got == 0) {
                break;
            }
            if (body.size() + got > kFeedMaxBytes) {
                result.error = u"the answer is larger than 1 MB";
                return result;
            }
            body.append(buffer, got);
        }
        result.outcome = FeedResult::Outcome::Fresh;
        result.body = std::move(body);
        result.etag = Ascii(Header(request.get(), WINHTTP_QUERY_ETAG));
        result.lastModified = Ascii(Header(request.get(), WINHTTP_QUERY_LAST_MODIFIED));
        return result;
    }
}

} // namespace

struct FeedFetcher::Shared {
    ResultHandler onResult;
    win::UniqueKernelHandle stop;
    win::UniqueKernelHandle wake;
    std::mutex mutex;
    std::optional<std::vector<FeedRequest>> next; // set by Fetch, taken by the thread
    std::atomic<bool> stopping{false};
};

FeedFetcher::FeedFetcher(ResultHandler onResult) : shared_(std::make_shared<Shared>()) {
    shared_->onResult = std::move(onResult);
    shared_->stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    shared_->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

FeedFetcher::~FeedFetcher() {
    shared_->stopping = true;
    if (shared_->stop) {
        SetEvent(shared_->stop.get());
    }
}

void FeedFetcher::Fetch(std::vector<FeedRequest> feeds) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->next = std::move(feeds);
    }
    if (!shared_->stop || !shared_->wake) {
        return;
    }
    SetEvent(shared_->wake.get());
    if (!started_) {
        // The thread holds its own share of the state: it may outlive this object by one fetch.
        auto* share = new std::shared_ptr<Shared>(shared_);
        win::UniqueKernelHandle thread(CreateThread(nullptr, 0, &FeedFetcher::ThreadMain, share, 0, nullptr));
        if (!thread) {
            delete share;
            return;
        }
        started_ = true;
    }
}

unsigned long __stdcall FeedFetcher::ThreadMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    std::shared_ptr<Shared> shared = *owned;
    // The session goes direct unless the user's settings name a proxy for the address (UseProxy).
    UniqueInternet session(WinHttpOpen(L"plumwick", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (session) {
        int timeout = static_cast<int>(kFeedTimeoutMs);
        WinHttpSetTimeouts(session.get(), timeout, timeout, timeout, timeout);
        // http to https is followed by hand; nothing should ever go the other way on its own.
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        WinHttpSetOption(session.get(), WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    }
    std::vector<FeedRequest> feeds;
    ULONGLONG dueMs = 0;
    while (true) {
        ULONGLONG now = GetTickCount64();
        DWORD wait = feeds.empty() ? INFINITE
                     : dueMs > now ? static_cast<DWORD>(std::min<ULONGLONG>(dueMs - now, kFeedPeriodMs))
                                   : 0;
        HANDLE handles[] = {shared->stop.get(), shared->wake.get()};
        DWORD woke = WaitForMultipleObjects(2, handles, FALSE, wait);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED || shared->stopping) {
            break;
        }
        if (woke == WAIT_OBJECT_0 + 1) {
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (shared->next) {
                feeds = std::move(*shared->next);
                shared->next.reset();
                dueMs = 0; // a new set is fetched at once
            }
            continue;
        }
        for (FeedRequest& feed : feeds) {
            FeedResult result;
            if (session) {
                result = FetchOne(session.get(), feed, shared->stopping);
            } else {
                result.source = feed.source;
                result.url = FormatWebAddress(feed.address);
                result.error = LastFailure(L"WinHttpOpen");
            }
            if (shared->stopping) {
                return 0;
            }
            if (result.outcome == FeedResult::Outcome::Fresh) {
                // The next fetch asks whether this copy is still good.
                feed.etag = result.etag;
                feed.lastModified = result.lastModified;
            }
            std::weak_ptr<Shared> weak = shared;
            win::uitask::Post([weak, result = std::move(result)]() mutable {
                if (std::shared_ptr<Shared> alive = weak.lock(); alive && !alive->stopping) {
                    alive->onResult(std::move(result));
                }
            });
        }
        dueMs = GetTickCount64() + kFeedPeriodMs;
    }
    return 0;
}

} // namespace plumwick
