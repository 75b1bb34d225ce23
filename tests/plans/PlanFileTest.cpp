#include "plans/PlanFile.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "base/GbkCodec.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

using C = MonitorPlan::Column;

MonitorPlan storedPlan(const std::string& name) {
    MonitorPlan plan;
    plan[C::code] = "1";
    plan[C::name] = gbk(name);
    plan[C::url] = "https://bbs.example/forum-2-1.html";
    plan[C::cookie] = "sid=1; x='2'";
    plan[C::ua] = "Mozilla/5.0";
    plan[C::arttile] = gbk("上次的标题");
    plan[C::arturl] = "https://bbs.example/t-9";
    plan[C::lasttime] = "2026-3-7 9:05:00";
    plan[C::buquan] = "https://bbs.example/[1]";
    plan[C::regular] = gbk("<a href=\"(t-\\d+)\">(.+?)</a>");
    plan[C::before] = gbk("<div id=\"list\">");
    plan[C::after] = "</div>";
    plan[C::tindex] = "2";
    plan[C::uindex] = "0";
    plan[C::oindex] = "1";
    plan[C::isdo] = "1";
    plan[C::lastid] = "9";
    plan[C::type] = "8";
    return plan;
}

nlohmann::json parsed(const std::string& text) {
    return nlohmann::json::parse(text);
}

TEST(PlanFileTest, ExportNamesTheColumnsInUtf8AndLeavesOutStateUnlessAsked) {
    test::TempDatabase temp;
    MonitorPlan first = storedPlan("水木社区");
    MonitorPlan second = storedPlan("二号");
    temp.addPlan(first);
    temp.addPlan(second);

    const PlanFile::ExportResult all = PlanFile::exportPlans(temp.database());
    ASSERT_TRUE(all.status.ok());
    const nlohmann::json document = parsed(all.json);
    EXPECT_EQ(document["format"], "lumo-plans");
    ASSERT_EQ(document["plans"].size(), 2u);
    const nlohmann::json& plan = document["plans"][0];
    EXPECT_EQ(plan["name"], "水木社区");
    EXPECT_EQ(plan["regular"], "<a href=\"(t-\\d+)\">(.+?)</a>");
    EXPECT_EQ(plan["tindex"], 2);
    EXPECT_EQ(plan["type"], "8");
    for (const char* state : {"id", "isdo", "arttile", "arturl", "lasttime", "lastid"}) {
        EXPECT_FALSE(plan.contains(state)) << state;
    }

    const PlanFile::ExportResult one = PlanFile::exportPlans(temp.database(), {2}, true);
    ASSERT_TRUE(one.status.ok());
    const nlohmann::json withState = parsed(one.json)["plans"];
    ASSERT_EQ(withState.size(), 1u);
    EXPECT_EQ(withState[0]["id"], 2);
    EXPECT_EQ(withState[0]["arttile"], "上次的标题");
    EXPECT_EQ(withState[0]["isdo"], "1");

    EXPECT_FALSE(PlanFile::exportPlans(temp.database(), {2, 5}).status.ok());
}

TEST(PlanFileTest, ExportImportExportIsIdenticalAndNewPlansComeInUntickedWithoutState) {
    test::TempDatabase source;
    MonitorPlan first = storedPlan("水木社区");
    MonitorPlan second = storedPlan("带'引号\"的;方案");
    second[C::code] = "0";
    second[C::cookie] = "";
    source.addPlan(first);
    source.addPlan(second);
    const std::string exported = PlanFile::exportPlans(source.database()).json;

    test::TempDatabase target;
    const PlanFile::ImportReport report = PlanFile::importPlans(target.database(), exported);
    ASSERT_TRUE(report.ok) << (report.errors.empty() ? "" : report.errors[0]);
    EXPECT_EQ(report.added, (std::vector<std::string>{"水木社区", "带'引号\"的;方案"}));
    EXPECT_EQ(PlanFile::exportPlans(target.database()).json, exported);

    const MonitorPlan imported = target.plan(1);
    EXPECT_EQ(imported[C::isdo], "0");
    for (const C state : {C::arttile, C::arturl, C::lasttime, C::lastid}) {
        EXPECT_EQ(imported[state], "") << state;
    }
    EXPECT_EQ(imported[C::regular], first[C::regular]);
}

TEST(PlanFileTest, TheSamePlanIsSkippedOrReplacedByNameKeepingItsState) {
    test::TempDatabase temp;
    MonitorPlan stored = storedPlan("水木社区");
    temp.addPlan(stored);
    MonitorPlan changed = storedPlan("水木社区");
    changed[C::url] = "http://other.example/";
    MonitorPlan fresh = storedPlan("新方案");
    const std::string file = PlanFile::toJson({changed, fresh}, false);

    PlanFile::ImportReport report = PlanFile::importPlans(temp.database(), file);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.skipped, std::vector<std::string>{"水木社区"});
    EXPECT_EQ(report.added, std::vector<std::string>{"新方案"});
    EXPECT_EQ(temp.plan(1)[C::url], stored[C::url]);

    report = PlanFile::importPlans(temp.database(), file, true);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.replaced, (std::vector<std::string>{"水木社区", "新方案"}));
    EXPECT_TRUE(report.added.empty() && report.skipped.empty());
    const MonitorPlan replaced = temp.plan(1);
    EXPECT_EQ(replaced[C::url], "http://other.example/");
    // Its id, tick and last-seen fields stay.
    EXPECT_EQ(replaced[C::isdo], "1");
    EXPECT_EQ(replaced[C::arttile], stored[C::arttile]);
    EXPECT_EQ(replaced[C::lastid], "9");
    EXPECT_EQ(temp.query("select count(*) from rule").rows[0][0], "2");
}

TEST(PlanFileTest, BadPlansAreEachNamedAndChangeNothing) {
    test::TempDatabase temp;
    MonitorPlan stored = storedPlan("已有");
    temp.addPlan(stored);
    const std::string before = PlanFile::exportPlans(temp.database(), {}, true).json;

    nlohmann::json good = parsed(PlanFile::toJson({storedPlan("好方案")}, false))["plans"][0];
    nlohmann::json badPattern = good;
    badPattern["name"] = "坏正则";
    badPattern["regular"] = "(unclosed";
    nlohmann::json badIndex = good;
    badIndex["name"] = "坏索引";
    badIndex["tindex"] = "2";
    badIndex["uindex"] = 1.5;
    nlohmann::json badUrl = good;
    badUrl["name"] = "坏网址";
    badUrl["url"] = "file:///etc/passwd";
    badUrl["colour"] = "red";
    nlohmann::json notGbk = good;
    notGbk["name"] = "emoji 😀";
    nlohmann::json badHeaders = good;
    badHeaders["name"] = "坏请求头";
    badHeaders["ua"] = "Mozilla\nHost: evil.example";
    badHeaders["cookie"] = "sid=1\r\nX: 1";
    const nlohmann::json file = {
        {"format", "lumo-plans"},
        {"version", 1},
        {"plans", {good, badPattern, badIndex, badUrl, notGbk, badHeaders}}};

    const PlanFile::ImportReport report = PlanFile::importPlans(temp.database(), file.dump());
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.added.empty());
    const std::vector<std::string> expectedStarts = {
        "方案 #2「坏正则」：字段 regular 正则表达式无法编译：",
        "方案 #3「坏索引」：字段 tindex 应为整数",
        "方案 #3「坏索引」：字段 uindex 应为整数",
        "方案 #4「坏网址」：字段 colour 不是方案的字段",
        "方案 #4「坏网址」：字段 url 应为 http:// 或 https:// "
        "开头（或以主机名开头）、可以访问的网址",
        "方案 #5「emoji 😀」：字段 name 含有无法以 GBK 保存的字符",
        "方案 #6「坏请求头」：字段 ua 含有回车、换行或空字符",
        "方案 #6「坏请求头」：字段 cookie 含有回车、换行或空字符",
    };
    ASSERT_EQ(report.errors.size(), expectedStarts.size());
    for (std::size_t i = 0; i < expectedStarts.size(); ++i) {
        EXPECT_EQ(report.errors[i].rfind(expectedStarts[i], 0), 0u) << report.errors[i];
    }
    EXPECT_EQ(PlanFile::exportPlans(temp.database(), {}, true).json, before);

    for (const char* broken : {"", "{", "[]", "{\"format\":\"x\",\"plans\":[]}",
                               "{\"format\":\"lumo-plans\",\"version\":2,\"plans\":[]}"}) {
        const PlanFile::ImportReport bad = PlanFile::importPlans(temp.database(), broken);
        EXPECT_FALSE(bad.ok) << broken;
        EXPECT_EQ(bad.errors.size(), 1u) << broken;
    }
}

TEST(PlanFileTest, PlansOfTheSameNamePairUpInOrder) {
    test::TempDatabase temp;
    MonitorPlan original = storedPlan("同名");
    temp.addPlan(original);
    MonitorPlan copy = storedPlan("同名");
    copy[C::url] = "http://copy.example/";
    const std::string both = PlanFile::toJson({original, copy}, false);

    // The first of the file is the stored one; the second is new.
    PlanFile::ImportReport report = PlanFile::importPlans(temp.database(), both);
    ASSERT_TRUE(report.ok) << (report.errors.empty() ? "" : report.errors[0]);
    EXPECT_EQ(report.skipped, std::vector<std::string>{"同名"});
    EXPECT_EQ(report.added, std::vector<std::string>{"同名"});
    EXPECT_EQ(temp.plan(2)[C::url], "http://copy.example/");

    // Now both are stored: a second import skips both, a replacing one sets each to its own.
    report = PlanFile::importPlans(temp.database(), both);
    EXPECT_EQ(report.skipped.size(), 2u);
    MonitorPlan changedFirst = storedPlan("同名");
    changedFirst[C::url] = "http://first.example/";
    MonitorPlan changedSecond = storedPlan("同名");
    changedSecond[C::url] = "http://second.example/";
    report = PlanFile::importPlans(temp.database(),
                                   PlanFile::toJson({changedFirst, changedSecond}, false), true);
    EXPECT_EQ(report.replaced.size(), 2u);
    EXPECT_EQ(temp.plan(1)[C::url], "http://first.example/");
    EXPECT_EQ(temp.plan(2)[C::url], "http://second.example/");
    EXPECT_EQ(temp.query("select count(*) from rule").rows[0][0], "2");
}

TEST(PlanFileTest, AFailedWriteRollsBackTheWholeImport) {
    test::TempDatabase temp;
    // A trigger makes the second insert fail after the first has run.
    ASSERT_TRUE(temp.database().execute(
        "create trigger refuse before insert on rule when new.name='second' "
        "begin select raise(abort, 'refused'); end;"));
    const std::string file = PlanFile::toJson({storedPlan("first"), storedPlan("second")}, false);
    const PlanFile::ImportReport report = PlanFile::importPlans(temp.database(), file);
    EXPECT_FALSE(report.ok);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("错误代码：19"), std::string::npos) << report.errors[0];
    EXPECT_TRUE(report.added.empty());
    EXPECT_TRUE(temp.query("select * from rule").rows.empty());
    // The connection is usable afterwards: no transaction was left open.
    EXPECT_TRUE(temp.database().execute("insert into rule(name) values('after')"));
    EXPECT_EQ(temp.query("select name from rule").rows.size(), 1u);
}

}  // namespace
}  // namespace lumo
