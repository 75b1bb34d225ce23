#include "monitor/NewArticlesNotice.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "monitor/NewContentNotifier.h"
// After the notifier, whose headers the fakes take for granted.
#include "monitor/MonitorEngineFakes.h"
#include "support/FakeStatusLog.h"

namespace lumo {
namespace {

// A run of `plan` that stored `count` articles, newest first: "<plan> <first>" is the newest.
std::vector<StoredArticle> run(const Text& plan, int count, int first = 1) {
    std::vector<StoredArticle> articles;
    for (int i = 0; i < count; ++i) {
        const Text n = textOfInteger(first + i);
        articles.push_back({plan, plan + gbk(" 第") + n + gbk("帖"), "http://bbs.test/" + n});
    }
    return articles;
}

class RecordingNotifier : public DesktopNotifier {
public:
    void show(const DesktopNotice& notice) override { shown.push_back(notice); }
    std::vector<DesktopNotice> shown;
};

TEST(NewArticlesNotice, OneArticleNamesItsPlanItsTitleAndLinksIt) {
    RoundArticles round;
    round.add(gbk("休闲版"), run(gbk("休闲版"), 1));
    const DesktopNotice notice = newArticlesNotice(round.take());
    EXPECT_EQ(notice.summary, gbk("发现 1 篇新文章"));
    EXPECT_EQ(notice.bodyLines, (TextList{gbk("来自：休闲版（1）"), gbk("休闲版 第1帖")}));
    EXPECT_EQ(notice.link, "http://bbs.test/1");
}

TEST(NewArticlesNotice, ThreeArticlesOverTwoPlansShowEveryTitleNewestRunFirst) {
    RoundArticles round;
    round.add("A", run("A", 2));
    round.add("B", run("B", 1));
    const DesktopNotice notice = newArticlesNotice(round.take());
    EXPECT_EQ(notice.summary, gbk("发现 3 篇新文章"));
    // The later run counts as newer; within a run the page's order stays.
    EXPECT_EQ(notice.bodyLines, (TextList{gbk("来自：A（2）、B（1）"), gbk("B 第1帖"),
                                          gbk("A 第1帖"), gbk("A 第2帖")}));
    EXPECT_EQ(notice.link, "http://bbs.test/1");
}

TEST(NewArticlesNotice, TwentyArticlesOverManyPlansShowAFewAndCountTheRest) {
    RoundArticles round;
    // Six plans, one of them twice in the round; 20 articles, the last run holds the newest.
    round.add("A", run("A", 5));
    round.add("B", run("B", 3));
    round.add("C", run("C", 2));
    round.add("D", run("D", 2));
    round.add("E", run("E", 1));
    round.add("A", run("A", 1, 6));
    round.add("F", run("F", 6, 100));
    const RoundNews news = round.take();
    EXPECT_EQ(news.total, 20);
    const DesktopNotice notice = newArticlesNotice(news);
    EXPECT_EQ(notice.summary, gbk("发现 20 篇新文章"));
    ASSERT_EQ(notice.bodyLines.size(), 5u);
    EXPECT_EQ(notice.bodyLines[0], gbk("来自：A（6）、B（3）、C（2）、D（2） 等 6 个方案"));
    EXPECT_EQ(notice.bodyLines[1], gbk("F 第100帖"));
    EXPECT_EQ(notice.bodyLines[3], gbk("F 第102帖"));
    EXPECT_EQ(notice.bodyLines[4], gbk("……还有 17 篇"));
    EXPECT_EQ(notice.link, "http://bbs.test/100");
    // take() empties the round.
    EXPECT_TRUE(round.take().empty());
}

TEST(NewArticlesNotice, TitlesFromPagesAreCutAndLoseControlCharactersButKeepWholeCharacters) {
    RoundArticles round;
    Text longTitle = "\x1b[31m\r\n";
    for (int i = 0; i < 100; ++i) longTitle += gbk("中");
    round.add("P", {{"P", longTitle, "javascript:alert(1)"}});
    const DesktopNotice notice = newArticlesNotice(round.take());
    const Text expected = " [31m  " + [&] {
        Text t;
        for (int i = 0; i < kNoticeLongestTitle - 7; ++i) t += gbk("中");
        return t;
    }() + gbk("…");
    EXPECT_EQ(notice.bodyLines[1], expected);
    // The link is handed on as stored; the desktop side offers only web links.
    EXPECT_EQ(notice.link, "javascript:alert(1)");
}

TEST(NewArticlesNotice, KeepsOnlyTheNewestOfAHugeRoundButCountsThemAll) {
    RoundArticles round;
    round.add("A", run("A", 5000));
    round.add("B", run("B", 10));
    const RoundNews news = round.take();
    EXPECT_EQ(news.total, 5010);
    EXPECT_EQ(news.newest.size(), RoundArticles::kKeptArticles);
    EXPECT_EQ(news.newest.front().title, gbk("B 第1帖"));
    EXPECT_EQ(news.newest[10].title, gbk("A 第1帖"));
}

TEST(NewArticlesNotice, TheAlertSendsOneNoticePerRoundOnlyWithTheOptionOn) {
    test::FakeAlertSurface surface;
    test::FakeStatusLog log;
    MonitorState state;
    RoundArticles round;
    RecordingNotifier desktop;
    NewContentNotifier notifier(surface, log, state, {}, {&desktop, &round});
    round.add("A", run("A", 2));
    notifier.notifyNewContent(true);
    ASSERT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.shown[0].summary, gbk("发现 2 篇新文章"));
    // A round without articles of its own (a stop after a commit) repeats nothing.
    notifier.notifyNewContent(true);
    EXPECT_EQ(desktop.shown.size(), 1u);
    // With the option off nothing is sent, and the round's articles are not kept for later.
    surface.desktop = false;
    round.add("B", run("B", 1));
    notifier.notifyNewContent(true);
    surface.desktop = true;
    notifier.notifyNewContent(true);
    EXPECT_EQ(desktop.shown.size(), 1u);
    // Monitoring started anew forgets what a stopped round had collected.
    round.add("C", run("C", 1));
    notifier.discardRoundArticles();
    notifier.notifyNewContent(true);
    EXPECT_EQ(desktop.shown.size(), 1u);
}

}  // namespace
}  // namespace lumo
