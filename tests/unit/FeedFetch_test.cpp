#include "content/FeedFetch.h"

#include "content/ContentText.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

TEST(FeedFetch, OnlyOkAndNotModifiedCountAndRedirectsAreFollowedByHand) {
    EXPECT_EQ(ClassifyFeedStatus(200), FeedAnswer::Fresh);
    EXPECT_EQ(ClassifyFeedStatus(304), FeedAnswer::NotModified);
    for (int status : {301, 302, 303, 307, 308}) {
        EXPECT_EQ(ClassifyFeedStatus(status), FeedAnswer::Redirect) << status;
    }
    for (int status : {0, 203, 204, 206, 300, 305, 404, 407, 500}) {
        EXPECT_EQ(ClassifyFeedStatus(status), FeedAnswer::Failed) << status;
    }
}

TEST(FeedFetch, ConditionalHeadersCarryUsableValidatorsOnly) {
    EXPECT_EQ(ConditionalHeaders("", ""), u"");
    EXPECT_EQ(ConditionalHeaders("\"v1\"", "Tue, 08 Dec 2026 19:00:00 GMT"),
              u"If-None-Match: \"v1\"\r\nIf-Modified-Since: Tue, 08 Dec 2026 19:00:00 GMT\r\n");
    EXPECT_EQ(ConditionalHeaders("\"v1\"\r\nX-Evil: 1", "Tue"), u"If-Modified-Since: Tue\r\n");
}

TEST(FeedFetch, ItemsBecomeMessagesUnderEitherSplitAndNeverRunIntoTheNextFile) {
    FeedBody rss{FeedKind::Rss, u"One\r\nTwo"};
    FeedBody text{FeedKind::Text, u"a\r\nb"};
    std::u16string after = u"next\r\n";
    EXPECT_EQ(SplitMessages(NormaliseLineBreaks(FeedText(rss, SplitOption::SingleBreak) + after,
                                                SplitOption::SingleBreak),
                            SplitOption::SingleBreak),
              (std::vector<std::u16string>{u"One", u"Two", u"next", u""}));
    EXPECT_EQ(SplitMessages(NormaliseLineBreaks(FeedText(rss, SplitOption::DoubleBreak) + after,
                                                SplitOption::DoubleBreak),
                            SplitOption::DoubleBreak),
              (std::vector<std::u16string>{u"One", u"Two", u"next\r\n"}));
    EXPECT_EQ(FeedText(text, SplitOption::SingleBreak), u"a\r\nb\r\n");
    EXPECT_EQ(FeedText(FeedBody{FeedKind::Rss, u"", "not a feed"}, SplitOption::SingleBreak), u"");
}

TEST(FeedFetch, TheFailureNoticeNamesTheFeedAndWhy) {
    std::u16string notice = FeedFailedNotice(u"sub\\news.url", u"WinHttpReceiveResponse failed: timed out");
    EXPECT_NE(notice.find(u"sub\\news.url"), std::u16string::npos);
    EXPECT_NE(notice.find(u"timed out"), std::u16string::npos);
}

} // namespace
