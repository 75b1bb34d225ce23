#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/JudgementMode.h"
#include "suggest/PageEncoding.h"
#include "suggest/PlanSuggester.h"
#include "testkit/ListPages.h"

namespace lumo {
namespace {

using test::ListPage;
using test::ListPages;

const Text kSite = "http://lists.example.test";

SuggestionRequest requestFor(const ListPage& page) {
    SuggestionRequest request;
    request.url = kSite + page.path;
    const std::size_t at = page.contentType.find("charset=");
    if (at != std::string::npos) request.charset = page.contentType.substr(at + 8);
    request.userAgent = "LumoTest/1.0";
    return request;
}

Text pageText(const ListPage& page, bool gbkPage) {
    const Text text = gbkPage ? textOfBytes(page.body) : utf8ToGbk(page.body);
    return replaceAllText(text, "\r\n", "");
}

int occurrences(const Text& text, const Text& what) {
    int count = 0;
    for (int at = findText(text, what); at > 0; at = findText(text, what, at + 1)) ++count;
    return count;
}

struct Shape {
    const char* name;
    std::function<ListPage()> make;
    bool gbk;
    JudgementMode mode;
};

std::vector<Shape> shapes() {
    return {
        {"board in GBK", [] { return ListPages::discuz(kSite, 40, true); }, true,
         JudgementMode::CompareArticleId},
        {"board in UTF-8", [] { return ListPages::discuz(kSite, 25, false); }, false,
         JudgementMode::CompareArticleId},
        {"board by last reply", [] { return ListPages::discuz(kSite, 30, true, 9000, true); }, true,
         JudgementMode::CompareArticleId},
        {"community topics", [] { return ListPages::nodeClub(kSite, 30); }, false,
         JudgementMode::NewestFirst},
        {"forum view", [] { return ListPages::phpbb(kSite, 25); }, false,
         JudgementMode::CompareArticleId},
        {"news list", [] { return ListPages::newsList(kSite, 40); }, true,
         JudgementMode::CompareArticleId},
        {"blog", [] { return ListPages::blog(kSite, 10); }, false, JudgementMode::NewestFirst},
    };
}

// The best suggestion's rule test finds at least 95% of the page's articles, at least 95% of
// what it finds are articles, with the page's titles and addresses; its markers occur once in
// the page, and the plan reads the page in the right encoding and mode.
TEST(PlanSuggesterTest, BestSuggestionFindsTheArticlesOfEachShapeOfPage) {
    for (const Shape& shape : shapes()) {
        SCOPED_TRACE(shape.name);
        const ListPage page = shape.make();
        const SuggestionResult result = PlanSuggester::suggest(page.body, requestFor(page));
        ASSERT_EQ(result.failure, SuggestionFailure::None);
        ASSERT_FALSE(result.suggestions.empty());
        const Suggestion& best = result.suggestions.front();
        const MonitorPlan& plan = best.plan;
        std::set<std::pair<Text, Text>> expected;
        for (const auto& article : page.articles) expected.insert({article.title, article.address});
        ASSERT_EQ(best.titles.size(), best.addresses.size());
        int right = 0;
        for (std::size_t i = 0; i < best.titles.size(); ++i) {
            if (expected.count({best.titles[i], best.addresses[i]}) > 0) {
                ++right;
            } else if (i < 3) {
                ADD_FAILURE() << "not an article: " << gbkToUtf8(best.titles[i]) << " "
                              << best.addresses[i];
            }
        }
        EXPECT_GE(right * 100, static_cast<int>(expected.size()) * 95)
            << right << " of " << expected.size() << "; pattern " << plan[MonitorPlan::regular];
        EXPECT_GE(right * 100, static_cast<int>(best.titles.size()) * 95);
        EXPECT_EQ(best.matchCount, static_cast<int>(best.titles.size()));

        EXPECT_EQ(result.gbk, shape.gbk);
        EXPECT_EQ(plan[MonitorPlan::code], shape.gbk ? "1" : "0");
        EXPECT_EQ(judgementModeOfText(plan[MonitorPlan::type]), shape.mode);
        const Text text = pageText(page, shape.gbk);
        EXPECT_EQ(occurrences(text, plan[MonitorPlan::before]), 1) << plan[MonitorPlan::before];
        EXPECT_EQ(occurrences(text, plan[MonitorPlan::after]), 1) << plan[MonitorPlan::after];
        EXPECT_EQ(plan[MonitorPlan::url], kSite + page.path);
        EXPECT_EQ(plan[MonitorPlan::isdo], "0");
        EXPECT_FALSE(plan[MonitorPlan::name].empty());
    }
}

// The plan keeps working when the board moves on: new threads on top, others gone below. Its
// markers and pattern hold nothing of the articles themselves.
TEST(PlanSuggesterTest, SuggestedPlanReadsTheBoardsNextPage) {
    const ListPage today = ListPages::discuz(kSite, 30, true, 9000);
    const SuggestionResult result = PlanSuggester::suggest(today.body, requestFor(today));
    ASSERT_FALSE(result.suggestions.empty());
    const MonitorPlan& plan = result.suggestions.front().plan;

    const ListPage tomorrow = ListPages::discuz(kSite, 30, true, 9042);
    const Text region =
        textBetween(pageText(tomorrow, true), plan[MonitorPlan::before], plan[MonitorPlan::after]);
    const ArticleMatches matches = ArticleMatches::search(plan[MonitorPlan::regular], region);
    ASSERT_EQ(matches.count(), static_cast<int>(tomorrow.articles.size()));
    EXPECT_EQ(matches.sub(4, 2), tomorrow.articles[3].title);
    EXPECT_EQ(matches.sub(4, 1), "9042");
}

// A page that is empty, blank, binary, without a list, whose list lies deeper than the reader
// looks, whose markup never closes, or that is too large gets its reason and no suggestion.
TEST(PlanSuggesterTest, PagesWithoutAListGetTheirReason) {
    SuggestionRequest request;
    request.url = kSite + "/x";
    struct Case {
        const char* name;
        Bytes body;
        SuggestionFailure failure;
    };
    Text deep;
    for (int i = 0; i < 300; ++i) deep += "<div>";
    for (int i = 0; i < 20; ++i) {
        deep += "<p><a href=\"/topic/" + textOfInteger(i) + "\">" + ListPages::chineseTitle(i) +
                "</a></p>";
    }
    // Unclosed containers and formatting tags: parsed, this page would take minutes.
    Text nested = "<html><body>";
    for (int i = 0; i < 20000; ++i)
        nested += "<div><font color=\"#" + textOfInteger(i) + "\"><a href=\"/t/1\">x</a>";
    const std::vector<Case> cases = {
        {"empty", Bytes(), SuggestionFailure::EmptyPage},
        {"blank", Bytes(" \r\n\t "), SuggestionFailure::EmptyPage},
        {"image", Bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + Bytes(400, '\x01'),
         SuggestionFailure::BinaryPage},
        {"control bytes", Bytes(2000, '\x02') + "<a href=\"/1\">x</a>",
         SuggestionFailure::BinaryPage},
        {"no list", ListPages::noList(kSite).body, SuggestionFailure::NoList},
        {"plain text", Bytes("just some words, no markup at all\n"), SuggestionFailure::NoList},
        {"too deep", deep, SuggestionFailure::NoList},
        {"nested without end", nested, SuggestionFailure::TooDeep},
        {"too large", Bytes(PlanSuggester::kMaxPageBytes + 1, ' ') + "<a href=\"/1\">x</a>",
         SuggestionFailure::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SuggestionResult result = PlanSuggester::suggest(c.body, request);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_TRUE(result.suggestions.empty());
    }
}

// The encoding: the user's choice, then the response's charset, then the page's meta charset
// (the names of the Chinese code pages all read as GBK), then the bytes.
TEST(PlanSuggesterTest, EncodingComesFromChoiceResponseMetaThenBytes) {
    const Bytes metaGb2312 = "<html><head><meta charset=\"gb2312\"></head><body>\xc4\xe3</body>";
    const Bytes metaUtf8 =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">";
    const Bytes plainGbk = "<p>\xc4\xe3\xba\xc3</p>";
    const Bytes plainUtf8 = "<p>\xe4\xbd\xa0\xe5\xa5\xbd</p>";
    EXPECT_TRUE(PageEncoding::readsAsGbk(metaGb2312, "", std::nullopt));
    EXPECT_FALSE(PageEncoding::readsAsGbk(metaGb2312, "utf-8", std::nullopt));
    EXPECT_TRUE(PageEncoding::readsAsGbk(metaUtf8, "GB18030", std::nullopt));
    EXPECT_FALSE(PageEncoding::readsAsGbk(metaUtf8, "", std::nullopt));
    EXPECT_FALSE(PageEncoding::readsAsGbk(metaUtf8, "iso-8859-1", std::nullopt));
    EXPECT_TRUE(PageEncoding::readsAsGbk(plainGbk, "", std::nullopt));
    EXPECT_FALSE(PageEncoding::readsAsGbk(plainUtf8, "", std::nullopt));
    EXPECT_TRUE(PageEncoding::readsAsGbk(plainUtf8, "utf-8", true));
    EXPECT_EQ(PageEncoding::charsetOfHeaders("HTTP/1.1 200 OK\r\nContent-Type: text/html; "
                                             "charset=\"GBK\"\r\nX-A: b\r\n\r\n"),
              "GBK");
}

}  // namespace
}  // namespace lumo
