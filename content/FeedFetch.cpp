#include "content/FeedFetch.h"

#include "common/TextUtil.h"

namespace plumwick {

FeedAnswer ClassifyFeedStatus(int status) {
    switch (status) {
    case 200:
        return FeedAnswer::Fresh;
    case 304:
        return FeedAnswer::NotModified;
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        return FeedAnswer::Redirect;
    default:
        return FeedAnswer::Failed;
    }
}

std::u16string ConditionalHeaders(std::string_view etag, std::string_view lastModified) {
    // A validator that could end its header line early would smuggle in headers of its own.
    auto usable = [](std::string_view value) {
        return !value.empty() && value.find_first_of("\r\n") == std::string_view::npos;
    };
    std::u16string headers;
    if (usable(etag)) {
        headers += u"If-None-Match: " + Utf8ToUtf16(etag) + u"\r\n";
    }
    if (usable(lastModified)) {
        headers += u"If-Modified-Since: " + Utf8ToUtf16(lastModified) + u"\r\n";
    }
    return headers;
}

std::u16string FeedText(const FeedBody& body, SplitOption option) {
    if (!body.error.empty() || body.text.empty()) {
        return {};
    }
    std::u16string text = body.text;
    if (body.kind != FeedKind::Text && option == SplitOption::DoubleBreak) {
        text = ReplaceAll(text, u"\r\n", u"\r\n\r\n");
    }
    std::u16string_view end =
        option == SplitOption::DoubleBreak && body.kind != FeedKind::Text ? u"\r\n\r\n" : u"\r\n";
    if (text.size() < end.size() || text.compare(text.size() - end.size(), end.size(), end) != 0) {
        text += end;
    }
    return text;
}

std::u16string FeedFailedNotice(std::u16string_view source, std::u16string_view reason) {
    std::u16string name(source);
    std::u16string why(reason);
    return u"订阅 " + name + u" 无法更新（" + why + u"），继续显示上次取到的内容。\r\nThe feed " + name +
           u" could not be fetched (" + why + u"); the display goes on with its last good copy.";
}

} // namespace plumwick
