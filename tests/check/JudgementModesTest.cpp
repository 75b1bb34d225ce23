// Monitoring runs over sequences of checks of one board, in each judgement mode.
#include "PlanProcessorTestBase.h"

namespace lumo::test {
namespace {

using Threads = std::vector<BoardPage::Thread>;

class JudgementModesTest : public PlanProcessorTestBase {};

Text addressOf(int id) {
    return Text(BoardPage::kSite) + "thread-" + textOfInteger(id) + "-1-1.html";
}

TEST_F(JudgementModesTest, NewestFirstRecordsTheBoardOnceThenOnlyWhatAppearsOnTop) {
    const int planId = addPlan("0");
    Threads board = BoardPage::threads(150, 50);  // 150 (newest, on top) down to 101

    // First check: no marker yet, so the whole list is new; bottom of the page stored first.
    servePage(board);
    auto result = check(planId);
    EXPECT_FALSE(result.abandoned);
    EXPECT_EQ(result.matchCount, 50);
    EXPECT_EQ(result.recordedCount, 50);
    EXPECT_EQ(storedTitles(), titlesOf(reversed(board)));
    EXPECT_TRUE(state.newContentFound);
    EXPECT_FALSE(state.workerBusy);

    auto articles = db.articles();
    EXPECT_EQ(articles.back()[ArticleRecord::planname], gbk("测试论坛_休闲灌水"));
    EXPECT_EQ(articles.back()[ArticleRecord::planid], textOfInteger(planId));
    EXPECT_EQ(articles.back()[ArticleRecord::url], addressOf(150));
    EXPECT_EQ(articles.back()[ArticleRecord::other], gbk("用户") + textOfInteger(1000 + 150 % 37));
    EXPECT_EQ(articles.back()[ArticleRecord::addtime], kNow);
    EXPECT_EQ(articles.back()[ArticleRecord::issoucang], "0");
    for (std::size_t i = 1; i < articles.size(); ++i) {
        EXPECT_LT(integerOfText(articles[i - 1][ArticleRecord::id]),
                  integerOfText(articles[i][ArticleRecord::id]));
    }

    MonitorPlan plan = db.plan(planId);
    EXPECT_EQ(plan[MonitorPlan::arttile], board.front().title);
    EXPECT_EQ(plan[MonitorPlan::arturl], addressOf(150));
    EXPECT_EQ(plan[MonitorPlan::lasttime], kNow);
    EXPECT_EQ(plan[MonitorPlan::lastid], "0");
    EXPECT_EQ(cutRegion.texts().back(),
              textBetween(replaceAllText(BoardPage::gbkPage(board), "\r\n", ""),
                          BoardPage::kListStart, BoardPage::kListEnd));
    const Text firstLog = log.content();
    EXPECT_NE(firstLog.find(closingLine()), Text::npos);
    EXPECT_EQ(firstLog.find(gbk("出错！")), Text::npos);

    // Same page again: the region ends before the newest title and holds no article.
    state.newContentFound = false;
    result = check(planId);
    EXPECT_EQ(result.matchCount, 0);
    EXPECT_FALSE(result.planUpdated);
    EXPECT_EQ(db.articles().size(), 50u);
    EXPECT_FALSE(state.newContentFound);
    EXPECT_FALSE(state.workerBusy);
    EXPECT_EQ(log.content(), firstLog + closingLine());

    // Three new threads on top, the oldest one dropping off the bottom.
    Threads next = BoardPage::threads(153, 50);
    servePage(next);
    result = check(planId);
    EXPECT_EQ(result.recordedCount, 3);
    auto titles = storedTitles();
    EXPECT_EQ(std::vector<Text>(titles.end() - 3, titles.end()),
              (std::vector<Text>{next[2].title, next[1].title, next[0].title}));
    EXPECT_TRUE(state.newContentFound);
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], next[0].title);
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arturl], addressOf(153));

    // The marker has gone from the page: the plan's own region is taken and all of it stored.
    Threads fresh = BoardPage::threads(300, 10);
    servePage(fresh);
    const Text before = log.content();
    result = check(planId);
    EXPECT_EQ(result.recordedCount, 10);
    const Text missing = gbk("出错！无法在源码中找到最后文章标记！");
    EXPECT_EQ(log.content().substr(before.size(), missing.size()), missing);
    EXPECT_EQ(db.articles().size(), 63u);
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], fresh[0].title);
}

// A newest-first check reads the page only as far as the marker's own article. What lies below
// it can neither add work nor stop the check: here the pattern would run away there.
TEST_F(JudgementModesTest, NewestFirstStopsMatchingAtTheMarkersArticle) {
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::before] = "<list>";
    plan[MonitorPlan::after] = "</list>";
    plan[MonitorPlan::regular] = "(\\w\\w)-|(.*a){20}b";
    plan[MonitorPlan::buquan] = "http://bbs.example.test/[1]";
    plan[MonitorPlan::tindex] = "1";
    plan[MonitorPlan::uindex] = "1";
    plan[MonitorPlan::oindex] = "1";
    plan[MonitorPlan::arttile] = "ab";
    plan[MonitorPlan::lasttime] = kNow;
    const int planId = db.addPlan(plan);
    const Text tail = Text(5000, 'a');
    pages.setPage(kUrl, "<list>cd-ab-" + tail + "</list>");

    auto result = check(planId);
    EXPECT_EQ(result.recordedCount, 1);
    EXPECT_TRUE(result.patternStatus.ok());
    EXPECT_EQ(storedTitles(), std::vector<Text>{"cd"});
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], "cd");
    EXPECT_EQ(log.content().find(gbk("出错！")), Text::npos);

    // An oldest-first plan needs every match, so there the runaway is met and reported.
    ASSERT_TRUE(
        db.database().execute("update rule set type='2' where id=" + textOfInteger(planId)));
    result = check(planId);
    EXPECT_FALSE(result.patternStatus.ok());
    EXPECT_EQ(result.recordedCount, 0);
    EXPECT_EQ(storedTitles().size(), 1u);
}

TEST_F(JudgementModesTest, OldestFirstRecordsOnlyWhatAppearsAtTheBottom) {
    const int planId = addPlan("2");
    Threads board = reversed(BoardPage::threads(150, 50));  // 101 (oldest, on top) to 150

    servePage(board);
    auto result = check(planId);
    EXPECT_EQ(result.recordedCount, 50);
    EXPECT_EQ(storedTitles(), titlesOf(reversed(board)));
    // The marker is the newest article, the last on the page.
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], board.back().title);

    // Nothing new below the marker.
    state.newContentFound = false;
    result = check(planId);
    EXPECT_EQ(result.matchCount, 0);
    EXPECT_EQ(db.articles().size(), 50u);
    EXPECT_FALSE(state.newContentFound);

    // Two new threads at the bottom; the list keeps its first entries.
    board.push_back(BoardPage::thread(151));
    board.push_back(BoardPage::thread(152));
    servePage(board);
    result = check(planId);
    EXPECT_EQ(result.recordedCount, 2);
    auto titles = storedTitles();
    EXPECT_EQ(std::vector<Text>(titles.end() - 2, titles.end()),
              (std::vector<Text>{BoardPage::thread(152).title, BoardPage::thread(151).title}));
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], BoardPage::thread(152).title);
    EXPECT_TRUE(state.newContentFound);

    result = check(planId);
    EXPECT_EQ(result.recordedCount, 0);
    EXPECT_EQ(db.articles().size(), 52u);
}

// What the round's alert names: the stored articles, newest on the page first, in either order of
// page; a run that stores nothing adds nothing.
TEST_F(JudgementModesTest, TheRoundsArticlesComeNewestFirstWhateverThePagesOrder) {
    RoundArticles round;
    MonitorRun::Options withRound = options();
    withRound.roundArticles = &round;
    MonitorRun collecting{pages, sql, log, cutRegion, state, withRound};
    for (const char* type : {"0", "2"}) {
        SCOPED_TRACE(type);
        const int planId = addPlan(type);
        const bool oldestFirst = Text(type) == "2";
        Threads board = BoardPage::threads(150, 3);  // 150 is the newest
        servePage(oldestFirst ? reversed(board) : board);
        state.workerBusy = true;
        collecting.run(db.plan(planId), 1);
        const RoundNews news = round.take();
        ASSERT_EQ(news.newest.size(), 3u);
        EXPECT_EQ(news.newest[0].title, board[0].title);
        EXPECT_EQ(news.newest[0].address, addressOf(150));
        EXPECT_EQ(news.newest[2].title, board[2].title);
        EXPECT_EQ(news.plans.size(), 1u);
        EXPECT_EQ(news.plans[0].plan, gbk("测试论坛_休闲灌水"));

        collecting.run(db.plan(planId), 1);  // nothing new
        EXPECT_TRUE(round.take().empty());
    }
}

TEST_F(JudgementModesTest, CompareArticleIdStoresOnlyIdsAboveTheHighestSeen) {
    MonitorPlan plan = BoardPage::plan(kUrl, true, "8");
    plan[MonitorPlan::lastid] = "12";
    plan[MonitorPlan::arttile] = gbk("旧标记");  // not looked up in this mode
    const int planId = db.addPlan(plan);
    const Threads board{BoardPage::thread(12), BoardPage::thread(15), BoardPage::thread(9)};
    servePage(board);

    auto result = check(planId);
    EXPECT_EQ(result.matchCount, 3);
    EXPECT_EQ(storedTitles(), std::vector<Text>{BoardPage::thread(15).title});
    EXPECT_TRUE(state.newContentFound);
    MonitorPlan stored = db.plan(planId);
    EXPECT_EQ(stored[MonitorPlan::lastid], "15");
    EXPECT_EQ(stored[MonitorPlan::arturl], addressOf(15));
    EXPECT_EQ(stored[MonitorPlan::arttile], BoardPage::thread(12).title);
    EXPECT_EQ(log.content().find(gbk("出错！")), Text::npos);

    // Nothing above 15: nothing stored, the flag stays as it was, but the plan update runs.
    state.newContentFound = false;
    db.database().execute("update rule set lasttime='x' where id=" + textOfInteger(planId));
    result = check(planId);
    EXPECT_EQ(result.recordedCount, 0);
    EXPECT_TRUE(result.planUpdated);
    EXPECT_FALSE(state.newContentFound);
    stored = db.plan(planId);
    EXPECT_EQ(stored[MonitorPlan::lastid], "15");
    EXPECT_EQ(stored[MonitorPlan::arturl], "");
    EXPECT_EQ(stored[MonitorPlan::lasttime], kNow);
    EXPECT_EQ(db.articles().size(), 1u);

    // Ids without leading digits are 0 and never new.
    plan = BoardPage::plan(kUrl, true, "8");
    plan[MonitorPlan::uindex] = "1";  // "thread-15-1-1.html"
    const int other = db.addPlan(plan);
    result = check(other);
    EXPECT_EQ(result.recordedCount, 0);
}

TEST_F(JudgementModesTest, Utf8PagesAreConvertedBeforeTheyAreCut) {
    const int planId = addPlan("0", false);
    const Threads board = BoardPage::threads(150, 50);
    servePage(board, false);
    auto result = check(planId);
    EXPECT_EQ(result.recordedCount, 50);
    EXPECT_EQ(storedTitles(), titlesOf(reversed(board)));

    const Threads next = BoardPage::threads(151, 50);
    servePage(next, false);
    result = check(planId);
    EXPECT_EQ(result.recordedCount, 1);
    EXPECT_EQ(storedTitles().back(), next.front().title);
}

TEST_F(JudgementModesTest, SendsThePlansAddressCookieAndUserAgent) {
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::cookie] = "sid=42; theme=dark";
    const int planId = db.addPlan(plan);
    check(planId);
    plan[MonitorPlan::cookie] = "";
    plan[MonitorPlan::ua] = "";
    monitorRun.run(plan, 2);
    const auto requests = pages.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].url, kUrl);
    EXPECT_EQ(requests[0].cookie, "sid=42; theme=dark");
    EXPECT_EQ(requests[0].headers, "User-Agent: Mozilla/5.0 (X11; Linux x86_64) LumoTest/1.0");
    EXPECT_EQ(requests[1].cookie, "");
    EXPECT_EQ(requests[1].headers, "User-Agent: ");
}

}  // namespace
}  // namespace lumo::test
