#include <gtest/gtest.h>

#include "base/GbkCodec.h"
#include "plans/PlanEditorRules.h"
#include "plans/PlanListRules.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

MonitorPlan storedPlan() {
    MonitorPlan row;
    for (std::size_t k = 0; k < MonitorPlan::kColumnCount; ++k) {
        row.fields[k] = "c" + std::to_string(k);
    }
    row[MonitorPlan::id] = "7";
    row[MonitorPlan::code] = "0";
    row[MonitorPlan::type] = "8";
    return row;
}

TEST(PlanListRules, CaptionsJoinIndexAndName) {
    QueryResult result;
    result.columns = {"id", "arturl", "code"};
    EXPECT_EQ(planListCaptions(result), (TextList{"0id", "1arturl", "2code"}));
    EXPECT_TRUE(planListCaptions(QueryResult{}).empty());
}

TEST(PlanListRules, OnlyExactlyOneTicksAndHidesDefaultTick) {
    TextList row(20);
    EXPECT_FALSE(planRowLoadsTicked(row));
    row[17] = "1";
    EXPECT_TRUE(planRowLoadsTicked(row));
    EXPECT_FALSE(planMenuState(true, row).tick);
    EXPECT_TRUE(planMenuState(true, row).edit);
    row[17] = "1 ";
    EXPECT_FALSE(planRowLoadsTicked(row));
    EXPECT_TRUE(planMenuState(true, row).tick);
    EXPECT_FALSE(planRowLoadsTicked(TextList(10, "1")));  // too short to have an isdo

    const PlanMenuState none = planMenuState(false, row);
    EXPECT_FALSE(none.edit || none.remove || none.copy || none.tick);
    EXPECT_EQ(defaultTickStatement("12"), "update rule set isdo=1 where id=12");
}

TEST(PlanEditorRules, LoadMapsColumnsByPosition) {
    const MonitorPlan row = storedPlan();
    const MonitorPlan edit = editorContentOf(PlanEditMode::Edit, row);
    EXPECT_EQ(edit[MonitorPlan::id], "7");
    EXPECT_EQ(edit[MonitorPlan::code], "0");
    EXPECT_EQ(edit[MonitorPlan::type], "8");
    for (MonitorPlan::Column c : kEditorTextColumns) EXPECT_EQ(edit[c], row[c]);
    // Columns the editor has no unit for stay empty.
    for (MonitorPlan::Column c : {MonitorPlan::arturl, MonitorPlan::arttile, MonitorPlan::lasttime,
                                  MonitorPlan::isdo, MonitorPlan::lastid}) {
        EXPECT_EQ(edit[c], "");
    }

    const MonitorPlan copy = editorContentOf(PlanEditMode::Copy, row);
    EXPECT_EQ(copy[MonitorPlan::id], "0");
    EXPECT_EQ(copy[MonitorPlan::regular], "c11");

    const MonitorPlan fresh = editorContentOf(PlanEditMode::New, row);
    EXPECT_EQ(fresh[MonitorPlan::id], "0");
    EXPECT_EQ(fresh[MonitorPlan::code], "1");
    EXPECT_EQ(fresh[MonitorPlan::type], "0");
    for (MonitorPlan::Column c : kEditorTextColumns) EXPECT_EQ(fresh[c], "");

    EXPECT_EQ(saveButtonCaption(PlanEditMode::Edit), gbk("更新规则"));
    EXPECT_EQ(saveButtonCaption(PlanEditMode::Copy), gbk("新建规则"));
    EXPECT_EQ(saveButtonCaption(PlanEditMode::New), gbk("新建规则"));
}

TEST(PlanEditorRules, GbkTickedUnlessCodeIsExactlyZeroAndTypeIsItsNumber) {
    MonitorPlan row = storedPlan();
    for (const char* code : {"", "1", "2", " 0", "00"}) {
        row[MonitorPlan::code] = code;
        EXPECT_EQ(editorContentOf(PlanEditMode::Edit, row)[MonitorPlan::code], "1") << code;
    }
    const std::pair<const char*, const char*> types[] = {{"", "0"},     {"x", "0"},  {"2", "2"},
                                                         {"8abc", "8"}, {" 5", "5"}, {"-3", "-3"}};
    for (const auto& [stored, loaded] : types) {
        row[MonitorPlan::type] = stored;
        EXPECT_EQ(editorContentOf(PlanEditMode::Copy, row)[MonitorPlan::type], loaded) << stored;
    }
}

TEST(PlanEditorRules, RadiosOfAJudgementMode) {
    EXPECT_EQ(judgementRadiosOf(0).selected, 1);
    EXPECT_EQ(judgementRadiosOf(2).selected, 2);
    EXPECT_EQ(judgementRadiosOf(8).selected, 3);
    EXPECT_EQ(judgementRadiosOf(5).selected, 1);
    EXPECT_TRUE(judgementRadiosOf(8).uindexEnabled);
    EXPECT_FALSE(judgementRadiosOf(2).uindexEnabled);
    EXPECT_FALSE(judgementRadiosOf(-8).uindexEnabled);
}

TEST(PlanEditorRules, StatementsQuoteEveryValue) {
    MonitorPlan content = editorContentOf(PlanEditMode::New, MonitorPlan{});
    content[MonitorPlan::name] = "a'b";
    content[MonitorPlan::regular] = "href='(.*?)'";
    content[MonitorPlan::type] = "2";
    EXPECT_EQ(planSaveStatement(content),
              "insert into rule(isdo,code,url,before,after,regular,buquan,cookie,tindex,uindex,"
              "oindex,ua,name,type) values('1','1','','','','href=''(.*?)''','','','','','','',"
              "'a''b','2')");
    content[MonitorPlan::id] = "7";
    content[MonitorPlan::tindex] = "3";
    EXPECT_EQ(planSaveStatement(content),
              "update rule set code='1',url='',before='',after='',regular='href=''(.*?)''',"
              "buquan='',cookie='',tindex='3',uindex='',oindex='',ua='',name='a''b',type='2' "
              "where id=7");

    const SaveReport ok = saveReportOf("x", true);
    EXPECT_EQ(ok.text, gbk("SQL语句：") + "x");
    EXPECT_EQ(ok.caption, gbk("方案新建成功！"));
    EXPECT_EQ(saveReportOf("x", false).caption, gbk("创建失败！"));
}

// Whatever the fields hold, both statements run and store the texts exactly.
TEST(PlanEditorRules, HostileFieldsSaveAndReadBackExactly) {
    test::TempDatabase temp;
    MonitorPlan content = editorContentOf(PlanEditMode::New, MonitorPlan{});
    const Text hostile[] = {
        "'); delete from rule; --", "''", "'", "a;b(c)\r\nd", gbk("标题'引号'"), "\\'",
        std::string(5000, '\'')};
    std::size_t i = 0;
    for (MonitorPlan::Column c : kEditorTextColumns) content[c] = hostile[i++ % std::size(hostile)];
    ASSERT_TRUE(temp.database().execute(planSaveStatement(content)));
    const QueryResult ids = temp.query("select id from rule");
    ASSERT_EQ(ids.rowCount(), 1);
    const int id = std::stoi(ids.rows[0][0]);
    MonitorPlan stored = temp.plan(id);
    for (MonitorPlan::Column c : kEditorTextColumns) EXPECT_EQ(stored[c], content[c]) << c;
    EXPECT_EQ(stored[MonitorPlan::isdo], "1");
    EXPECT_EQ(stored[MonitorPlan::code], "1");
    EXPECT_EQ(stored[MonitorPlan::type], "0");

    // The update, empty indexes included.
    content[MonitorPlan::id] = ids.rows[0][0];
    content[MonitorPlan::tindex] = "";
    content[MonitorPlan::uindex] = "";
    content[MonitorPlan::oindex] = "x'";
    content[MonitorPlan::name] = "'; drop table rule; --";
    content[MonitorPlan::code] = "0";
    content[MonitorPlan::type] = "8";
    ASSERT_TRUE(temp.database().execute(planSaveStatement(content)));
    stored = temp.plan(id);
    for (MonitorPlan::Column c : kEditorTextColumns) EXPECT_EQ(stored[c], content[c]) << c;
    EXPECT_EQ(stored[MonitorPlan::code], "0");
    EXPECT_EQ(stored[MonitorPlan::type], "8");
    EXPECT_EQ(temp.query("select count(*) from rule").rows[0][0], "1");
}

TEST(PlanEditorRules, HintsOfTheUnits) {
    EXPECT_EQ(*fieldHint(MonitorPlan::tindex), gbk("正则匹配得到的 标题的索引编号。下同"));
    EXPECT_EQ(*fieldHint(MonitorPlan::code),
              gbk("源站的编码，选错会乱码。勾选表示gbk，否则为utf-8"));
    EXPECT_EQ(*fieldHint(MonitorPlan::regular), gbk("重要！匹配文章的正则表达式，") + "<a href=\"" +
                                                    kPatternHelpTarget + "\">" + gbk("获取帮助") +
                                                    "</a>");
    for (MonitorPlan::Column c :
         {MonitorPlan::oindex, MonitorPlan::uindex, MonitorPlan::id, MonitorPlan::type}) {
        EXPECT_FALSE(fieldHint(c).has_value()) << c;
    }
}

}  // namespace
}  // namespace lumo
