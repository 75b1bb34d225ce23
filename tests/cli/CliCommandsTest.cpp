// lumo-cli's commands other than `run`, driven as a child process.
#include <cstdio>
#include <filesystem>

#include "cli/CliTestBase.h"
#include "store/DatabaseLocation.h"

namespace lumo::test {
namespace {

using nlohmann::json;

class CliCommandsTest : public CliTestBase {};

TEST_F(CliCommandsTest, HelpListsEveryCommandAndTheExitStatuses) {
    const auto result = ChildProcess::run(binary(), {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* command :
         {"plans", "test", "run", "latest", "favourites", "feed", "sql", "init"}) {
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
    }
    EXPECT_NE(result.out.find("Exit status:"), std::string::npos);
    const auto unknown = ChildProcess::run(binary(), {"frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    const auto none = ChildProcess::run(binary(), {});
    EXPECT_EQ(none.exitCode, 2);
}

TEST_F(CliCommandsTest, LinksNeitherQtNorLibcurl) {
    // Every shared library the program loads, those of its libraries included.
    FILE* pipe = popen(("ldd '" + binary() + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string dynamic;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) dynamic += buffer;
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_NE(dynamic.find("libsqlite3"), std::string::npos);
    // libcurl comes with the fetch module, loaded by the first fetch (CliFetchModuleTest).
    EXPECT_EQ(dynamic.find("libcurl"), std::string::npos) << dynamic;
    EXPECT_EQ(dynamic.find("Qt"), std::string::npos) << dynamic;
}

TEST_F(CliCommandsTest, PlansAsTableAndAsJson) {
    const int ticked = addBoardPlan(120, 3);
    MonitorPlan other = BoardPage::plan("http://127.0.0.1:1/x", false, "8");
    other[MonitorPlan::isdo] = "0";
    other[MonitorPlan::arttile] = gbk("上次的标题");
    other[MonitorPlan::lasttime] = "2026-12-9 8:5:3";
    const int unticked = db.addPlan(other);

    const auto text = cli({"plans"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    const auto rows = lines(text.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0],
              "id\tname\tticked\turl\tmode\tlastCheck\tlastTitle\thealth\tfailures\treason");
    // Never checked here: no health yet.
    EXPECT_EQ(rows[2], std::to_string(unticked) +
                           "\t测试论坛_休闲灌水\tno\thttp://127.0.0.1:1/x\t比较文章ID\t2026-12-9 "
                           "8:5:3\t上次的标题\t\t\t");

    const auto result = cli({"plans", "--json"});
    EXPECT_EQ(result.exitCode, 0);
    const json plans = json::parse(result.out);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0]["id"], ticked);
    EXPECT_EQ(plans[0]["ticked"], true);
    EXPECT_EQ(plans[0]["mode"], 0);
    EXPECT_EQ(plans[0]["modeName"], "时间倒序");
    EXPECT_EQ(plans[0]["url"], server.url("/board"));
    EXPECT_EQ(plans[1]["name"], "测试论坛_休闲灌水");
    EXPECT_EQ(plans[1]["ticked"], false);
    EXPECT_EQ(plans[1]["mode"], 8);
    EXPECT_EQ(plans[1]["lastTitle"], "上次的标题");
    EXPECT_EQ(plans[1]["lastCheck"], "2026-12-9 8:5:3");
    EXPECT_TRUE(plans[1]["health"].is_null());
}

TEST_F(CliCommandsTest, RuleTestShowsTheMatchTableOfTheEditor) {
    const int id = addBoardPlan(205, 4);
    const auto result = cli({"test", std::to_string(id), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const json test = json::parse(result.out);
    EXPECT_EQ(test["plan"], id);
    EXPECT_EQ(test["matchCount"], 4);
    EXPECT_GT(test["cutLength"].get<int>(), 0);
    EXPECT_EQ(test["cutLength"].get<std::size_t>(), gbk(test["cut"].get<std::string>()).size());
    ASSERT_GE(test["columns"].size(), 4u);
    for (std::size_t k = 0; k < test["columns"].size(); ++k) {
        EXPECT_EQ(test["columns"][k], "索引 " + std::to_string(k));
    }
    ASSERT_EQ(test["rows"].size(), 4u);
    EXPECT_EQ(test["rows"][0][1], "thread-205-1-1.html");
    EXPECT_EQ(test["rows"][0][2], "205");
    EXPECT_EQ(test["rows"][3][3], utf8(BoardPage::thread(202).title));

    const auto text = cli({"test", std::to_string(id)});
    EXPECT_EQ(text.exitCode, 0);
    const auto rows = lines(text.out);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].rfind("cut length: ", 0), 0u);
    EXPECT_EQ(rows[1].rfind("索引 0\t索引 1\t索引 2\t索引 3", 0), 0u);
    EXPECT_NE(rows[2].find("\t205\t"), std::string::npos);
    // Nothing was stored by a test.
    EXPECT_TRUE(db.articles().empty());
}

TEST_F(CliCommandsTest, RuleTestWithoutMatchesOrWithABadPatternFails) {
    const int id = addBoardPlan(10, 2);
    db.database().execute("update rule set regular='no such text' where id=" + std::to_string(id));
    const auto none = cli({"test", std::to_string(id)});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("匹配结果为0,请检查正则匹配规则!"), std::string::npos);
    EXPECT_TRUE(none.out.empty());

    db.database().execute("update rule set regular='(unclosed' where id=" + std::to_string(id));
    const auto bad = cli({"test", std::to_string(id), "--json"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("匹配结果为0,请检查正则匹配规则!"), std::string::npos);
    EXPECT_NE(bad.err.find("pattern was refused"), std::string::npos) << bad.err;
    EXPECT_TRUE(bad.out.empty());

    db.database().execute("update rule set url='http://lumosoft.example/' where id=" +
                          std::to_string(id));
    const auto blocked = cli({"test", std::to_string(id)});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.err.find("此站不允许监控!"), std::string::npos);
    EXPECT_EQ(server.requestCount(), 2u);  // the blocked address was not asked
}

TEST_F(CliCommandsTest, UnknownPlanIdIsRefused) {
    addBoardPlan(10, 2);
    const auto result = cli({"test", "99"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("no plan with id 99"), std::string::npos);
    EXPECT_EQ(server.requestCount(), 0u);
}

class ArticleListsTest : public CliTestBase {
protected:
    void addArticles(int count) {
        Text sql;
        for (int i = 1; i <= count; ++i) {
            sql += "insert into info(planname,planid,title,url,other,addtime,issoucang) values('" +
                   gbk("站") + "',1,'" + gbk("标题") + std::to_string(i) + "','http://x/" +
                   std::to_string(i) + "','o','2026-12-9 1:2:3'," + (i % 10 == 0 ? "1" : "0") +
                   ");";
        }
        ASSERT_TRUE(db.database().execute(sql));
    }
};

TEST_F(ArticleListsTest, LatestIsTheWindowsListNewestFirst) {
    addArticles(150);
    const auto all = cli({"latest", "--json"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const json articles = json::parse(all.out);
    ASSERT_EQ(articles.size(), 100u);
    EXPECT_EQ(articles[0]["id"], 150);
    EXPECT_EQ(articles[0]["title"], "标题150");
    EXPECT_EQ(articles[0]["planname"], "站");
    EXPECT_EQ(articles[0]["issoucang"], "1");
    EXPECT_EQ(articles[0]["other"], "o");
    EXPECT_EQ(articles[99]["id"], 51);

    const auto few = cli({"latest", "-n", "3"});
    EXPECT_EQ(few.exitCode, 0);
    const auto rows = lines(few.out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "id\t站点\t帖子标题\t链接\t更新时间\t状态\t备用");
    EXPECT_EQ(rows[1], "150\t站\t标题150\thttp://x/150\t2026-12-9 1:2:3\t1\to");

    EXPECT_EQ(cli({"latest", "-n", "0"}).exitCode, 2);
    EXPECT_EQ(cli({"latest", "-n", "101"}).exitCode, 2);
}

TEST_F(ArticleListsTest, FavouritesAreTheMarkedOnes) {
    addArticles(30);
    const auto result = cli({"favourites", "--json"});
    ASSERT_EQ(result.exitCode, 0);
    const json favourites = json::parse(result.out);
    ASSERT_EQ(favourites.size(), 3u);
    EXPECT_EQ(favourites[0]["id"], 30);
    EXPECT_EQ(favourites[2]["id"], 10);
    EXPECT_FALSE(favourites[0].contains("other"));
    const auto text = cli({"favourites"});
    EXPECT_EQ(lines(text.out).front(), "id\t站点\t帖子标题\t链接\t更新时间\t状态");
}

TEST_F(ArticleListsTest, CellsStayOnOneLine) {
    ASSERT_TRUE(db.database().execute(
        "insert into info(planname,title,url,issoucang) values('a\tb','x\r\ny\\z','u',0)"));
    const auto result = cli({"latest"});
    const auto rows = lines(result.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NE(rows[1].find("a\\tb\tx\\r\\ny\\\\z\tu"), std::string::npos) << rows[1];
}

TEST_F(CliCommandsTest, SqlGivesTheConsoleTexts) {
    const auto ok = cli({"sql", "insert into info(title,issoucang) values('中文标题',1)"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(ok.out, "成功！SQL：insert into info(title,issoucang) values('中文标题',1)\n");
    // Typed in UTF-8, stored in GBK as the window stores it.
    ASSERT_EQ(db.articles().size(), 1u);
    EXPECT_EQ(db.articles()[0][ArticleRecord::title], gbk("中文标题"));

    const auto failed = cli({"sql", "update nosuchtable set x=1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, "执行出错！错误代码：1\n");
    EXPECT_TRUE(failed.out.empty());

    const auto empty = cli({"sql", ""});
    EXPECT_EQ(empty.exitCode, 1);
}

TEST_F(CliCommandsTest, InitMakesAnEmptyDatabaseAndNeverReplacesOne) {
    const std::string path = db.directory() + "/new.sdb";
    const auto made = ChildProcess::run(binary(), {"init", path});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    const auto plans = ChildProcess::run(binary(), {"--db", path, "plans", "--json"});
    EXPECT_EQ(plans.exitCode, 0) << plans.err;
    EXPECT_EQ(json::parse(plans.out), json::array());
    EXPECT_EQ(
        ChildProcess::run(binary(), {"--db", path, "sql", "insert into rule(name) values('a')"})
            .exitCode,
        0);

    const std::string before = fileBytes(path);
    const auto again = ChildProcess::run(binary(), {"init", path});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_NE(again.err.find("exists already"), std::string::npos);
    EXPECT_EQ(fileBytes(path), before);

    const auto nowhere = ChildProcess::run(binary(), {"init", db.directory() + "/no/such/x.sdb"});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(db.directory() + "/no"));
}

TEST_F(CliCommandsTest, MissingOrForeignFilesAreLeftAlone) {
    const std::string missing = db.directory() + "/missing.sdb";
    for (const char* command : {"plans", "latest", "run"}) {
        const auto result = ChildProcess::run(binary(), {"--db", missing, command});
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.err.rfind("数据库文件不存在！\n", 0), 0u) << result.err;
        EXPECT_FALSE(std::filesystem::exists(missing));
    }

    const std::string text = db.directory() + "/notes.sdb";
    const std::string empty = db.directory() + "/empty.sdb";
    { std::ofstream(text, std::ios::binary) << "just some notes, not a database\n"; }
    { std::ofstream(empty, std::ios::binary); }
    for (const std::string& path : {text, empty}) {
        const std::string before = fileBytes(path);
        for (const char* command : {"plans", "sql", "run"}) {
            std::vector<std::string> args{"--db", path, command};
            if (std::string(command) == "sql") args.push_back("create table t(x)");
            const auto result = ChildProcess::run(binary(), args);
            EXPECT_EQ(result.exitCode, 2) << command;
            EXPECT_NE(result.err.find("is not a Lumo database"), std::string::npos) << result.err;
        }
        EXPECT_EQ(fileBytes(path), before);
    }
}

TEST_F(CliCommandsTest, DatabaseFromOptionEnvironmentOrBesideTheProgram) {
    addBoardPlan(10, 1);
    const auto fromEnvironment =
        ChildProcess::run(binary(), {"plans", "--json"}, {"LUMO_DB=" + db.path()});
    EXPECT_EQ(fromEnvironment.exitCode, 0);
    EXPECT_EQ(json::parse(fromEnvironment.out).size(), 1u);
    // The option wins over the environment.
    const auto fromOption = ChildProcess::run(
        binary(), {"--db", db.directory() + "/none.sdb", "plans"}, {"LUMO_DB=" + db.path()});
    EXPECT_EQ(fromOption.exitCode, 2);

    EXPECT_EQ(DatabaseLocation::resolve(std::nullopt, nullptr, "/opt/lumo"), "/opt/lumo/lumo.sdb");
    EXPECT_EQ(DatabaseLocation::resolve(std::string(), "", "/opt/lumo/"), "/opt/lumo/lumo.sdb");
    EXPECT_EQ(DatabaseLocation::resolve(std::nullopt, "/e.sdb", "/opt/lumo"), "/e.sdb");
    EXPECT_EQ(DatabaseLocation::resolve(std::string("o.sdb"), "/e.sdb", "/d"), "o.sdb");
}

}  // namespace
}  // namespace lumo::test
