// The rule test of the plan editor: the region and a table of every match's sub-match texts.
#include "PlanProcessorTestBase.h"

namespace lumo::test {
namespace {

class RuleTestTest : public PlanProcessorTestBase {
protected:
    void SetUp() override { servePage(BoardPage::threads(150, 50)); }

    MonitorPlan planWithPattern(const Text& pattern) {
        MonitorPlan plan = BoardPage::plan(kUrl, true);
        plan[MonitorPlan::regular] = pattern;
        return plan;
    }

    // The test never touches the database or the monitoring flags.
    void expectNoMonitoringEffects() {
        EXPECT_TRUE(db.articles().empty());
        EXPECT_FALSE(state.newContentFound);
        EXPECT_TRUE(state.workerBusy);
    }

    void markBusy() { state.workerBusy = true; }
};

TEST_F(RuleTestTest, ColumnsRunFromZeroToOneBelowTheGroupCount) {
    markBusy();
    // Three groups: columns 0 to 2, the third group gets none.
    auto result = ruleTest.testPlan(
        planWithPattern("<a href=\"(thread-(\\d+)-1-1\\.html)\" onclick=\"atarget\\(this\\)\" "
                        "class=\"s xst\">(.*?)</a>"));
    ASSERT_TRUE(result.ran);
    EXPECT_TRUE(result.enableSaveButton);
    EXPECT_EQ(result.groupCount, 3);
    EXPECT_EQ(result.columns, (TextList{gbk("索引 0"), gbk("索引 1"), gbk("索引 2")}));
    EXPECT_EQ(result.columnWidth, 80);
    ASSERT_EQ(result.rows.size(), 50u);
    EXPECT_EQ(result.rows[0][1], "thread-150-1-1.html");
    EXPECT_EQ(result.rows[0][2], "150");
    EXPECT_EQ(result.rows[49][2], "101");
    EXPECT_EQ(cutRegion.texts(), std::vector<Text>{result.cutText});

    // One group: a single column holding the whole match.
    result = ruleTest.testPlan(planWithPattern("class=\"s xst\">(.*?)</a>"));
    EXPECT_EQ(result.columns, TextList{gbk("索引 0")});
    ASSERT_EQ(result.rows.size(), 50u);
    EXPECT_EQ(result.rows[0], TextList{"class=\"s xst\">" + BoardPage::thread(150).title + "</a>"});

    // No group: rows without cells.
    result = ruleTest.testPlan(planWithPattern("class=\"s xst\">"));
    EXPECT_TRUE(result.columns.empty());
    EXPECT_EQ(result.rows.size(), 50u);
    EXPECT_TRUE(result.rows[0].empty());
    EXPECT_TRUE(result.enableSaveButton);
    EXPECT_TRUE(messages.messages().empty());
    expectNoMonitoringEffects();
}

TEST_F(RuleTestTest, NoMatchOrABadPatternShowsTheMessageAndAnEmptyTable) {
    markBusy();
    for (const Text& pattern : {Text("no such thing"), Text("([unclosed")}) {
        messages.clear();
        const Text reason = pattern == "no such thing"
                                ? gbk("采集区域里没有匹配到任何文章")
                                : gbk("正则匹配失败：") +
                                      ArticleMatches::search(pattern, "x", 1).failure().reason();
        const auto result = ruleTest.testPlan(planWithPattern(pattern));
        EXPECT_TRUE(result.ran);
        EXPECT_FALSE(result.enableSaveButton);
        EXPECT_TRUE(result.columns.empty());
        EXPECT_TRUE(result.rows.empty());
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text,
                  gbk("匹配结果为0,请检查正则匹配规则!（") + reason + gbk("）"));
        EXPECT_EQ(messages.messages()[0].caption, gbk("信息："));
    }
    const RuleTestResult refused = ruleTest.testPlan(planWithPattern("([unclosed"));
    EXPECT_EQ(refused.patternStatus.kind(), Status::Kind::Refused);
    EXPECT_EQ(refused.status.kind(), Status::Kind::Refused);
    EXPECT_EQ(log.content(), "");
    expectNoMonitoringEffects();
}

TEST_F(RuleTestTest, UsesThePlansOwnRegionWhateverItsModeAndMarker) {
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::arttile] = BoardPage::thread(140).title;
    auto result = ruleTest.testPlan(plan);
    EXPECT_EQ(result.rows.size(), 50u);
    plan[MonitorPlan::before] = "<nowhere>";
    result = ruleTest.testPlan(plan);
    EXPECT_EQ(result.cutText, "");
    EXPECT_EQ(log.content(),
              gbk("出错！截取源码为空，请检查方案的采集区域！（源码中找不到开始标记）"));
    EXPECT_EQ(cutRegion.texts().back(), "");
}

TEST_F(RuleTestTest, CrLfPairsGoLoneLineBreaksStay) {
    pages.setPage(kUrl, "<ul>\r\n<li>a\nb</li>\r\n<li>c\rd</li>\n<li>e</li></ul>");
    MonitorPlan plan = BoardPage::plan(kUrl, true);
    plan[MonitorPlan::before] = "<ul>";
    plan[MonitorPlan::after] = "</ul>";
    plan[MonitorPlan::regular] = "<li>(.)(.)(.)</li>$";
    const auto result = ruleTest.testPlan(plan);
    EXPECT_EQ(result.cutText, "<li>a\nb</li><li>c\rd</li>\n<li>e</li>");
    // "." crosses the lone LF and CR; "$" matches before the lone LF, but not before "<li>".
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0][1], "c");
    EXPECT_EQ(result.rows[0][2], "\r");
}

TEST_F(RuleTestTest, ABlockedAddressIsNeitherFetchedNorShown) {
    MonitorPlan plan = BoardPage::plan("http://www.lumosoft.com/bbs", true);
    const auto result = ruleTest.testPlan(plan);
    EXPECT_FALSE(result.ran);
    EXPECT_TRUE(pages.requests().empty());
    EXPECT_TRUE(cutRegion.texts().empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, gbk("此站不允许监控!"));
    EXPECT_EQ(messages.messages()[0].caption, gbk("信息："));
    // The marker is compared with case.
    EXPECT_FALSE(PlanPage::isBlockedAddress("http://www.LumoSoft.com/"));
    EXPECT_EQ(Text(PlanPage::kBlockedSiteMarker).size(), 8u);
}

}  // namespace
}  // namespace lumo::test
