// Text from a hostile board or a shared plan file, through the real lumo-cli: it reaches the
// terminal as data, never as a control sequence, and is stored as it came.
#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using nlohmann::json;

// Sequences that clear the screen, retitle the terminal and ring its bell.
const std::string kRetitle = "\x1b]0;pwned\x07";
const std::string kClear = "\x1b[2J";

// Every byte a terminal would act on, but the tab and LF of the formats themselves: C0, DEL, and
// the two-byte UTF-8 encodings of C1.
::testing::AssertionResult holdsNoControl(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const bool c1 = byte == 0xc2 && i + 1 < bytes.size() &&
                        static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(bytes[i + 1]) <= 0x9f;
        if ((byte < 0x20 && byte != '\t' && byte != '\n') || byte == 0x7f || c1) {
            return ::testing::AssertionFailure()
                   << "control byte " << int(byte) << " at " << i << " in: " << bytes;
        }
    }
    return ::testing::AssertionSuccess();
}

class CliHostileTextTest : public CliTestBase {
protected:
    std::string writeFile(const std::string& name, const std::string& content) {
        const std::string path = db.directory() + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
};

TEST_F(CliHostileTextTest, ControlSequencesFromPagesAndPlansReachTheTerminalEscaped) {
    std::vector<BoardPage::Thread> threads = BoardPage::threads(120, 3);
    threads[0].title = gbk("新帖") + kRetitle + kClear + "\r" + gbk("尾巴");
    server.page("/board", BoardPage::gbkPage(threads));
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    plan[MonitorPlan::name] = gbk("版块") + "\x1b[31m\x7f";
    const int id = db.addPlan(plan);

    const auto run = cli({"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(holdsNoControl(run.out));
    EXPECT_TRUE(holdsNoControl(run.err));
    EXPECT_NE(run.out.find("\\u001b]0;pwned\\u0007\\u001b[2J\\u000d"), std::string::npos);
    // Stored with every control byte (the store's own quoting turns ";" full-width).
    ASSERT_EQ(db.articles().size(), 3u);
    const Text storedTitle = db.articles().back()[ArticleRecord::title];
    EXPECT_NE(storedTitle.find("pwned\x07\x1b[2J\r"), Text::npos);
    EXPECT_EQ(db.articles().back()[ArticleRecord::planname], plan[MonitorPlan::name]);

    ASSERT_TRUE(db.database().execute("update info set issoucang=1"));
    for (const char* list : {"latest", "favourites"}) {
        const auto tsv = cli({list});
        ASSERT_EQ(tsv.exitCode, 0) << list << tsv.err;
        EXPECT_TRUE(holdsNoControl(tsv.out)) << list;
        EXPECT_NE(tsv.out.find("pwned\\u0007\\u001b[2J\\r"), std::string::npos) << list;
        // JSON keeps the exact text: a reader gets the title back as it was stored.
        const auto document = cli({list, "--json"});
        ASSERT_EQ(document.exitCode, 0) << list << document.err;
        EXPECT_TRUE(holdsNoControl(document.out)) << list;
        const json articles = json::parse(document.out);
        EXPECT_EQ(articles[0]["title"], utf8(storedTitle)) << list;
        EXPECT_EQ(articles[0]["planname"], utf8(plan[MonitorPlan::name])) << list;
    }

    const auto plans = cli({"plans"});
    ASSERT_EQ(plans.exitCode, 0) << plans.err;
    EXPECT_TRUE(holdsNoControl(plans.out));
    EXPECT_NE(plans.out.find("\\u001b[31m\\u007f"), std::string::npos);
    const auto plansJson = cli({"plans", "--json"});
    EXPECT_TRUE(holdsNoControl(plansJson.out));
    EXPECT_EQ(json::parse(plansJson.out)[0]["name"], utf8(plan[MonitorPlan::name]));

    const auto test = cli({"test", std::to_string(id)});
    ASSERT_EQ(test.exitCode, 0) << test.err;
    EXPECT_TRUE(holdsNoControl(test.out));
    EXPECT_TRUE(holdsNoControl(test.err));
    EXPECT_NE(test.out.find("\\u001b[2J"), std::string::npos);
    const auto testJson = cli({"test", std::to_string(id), "--json"});
    EXPECT_TRUE(holdsNoControl(testJson.out));
    EXPECT_NE(json::parse(testJson.out)["cut"].get<std::string>().find(kRetitle),
              std::string::npos);
}

TEST_F(CliHostileTextTest, ImportMessagesShowTheFilesNamesEscaped) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    db.addPlan(plan);
    json document = json::parse(cli({"plans", "export"}).out);
    const std::string hostile = "evil" + kClear + "\t\n";
    document["plans"][0]["name"] = hostile;

    TempDatabase other;
    const std::string file = writeFile("hostile.json", document.dump());
    const auto imported =
        ChildProcess::run(binary(), {"--db", other.path(), "plans", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out,
              "added\tevil\\u001b[2J\\u0009\\u000a\n"
              "1 added, 0 replaced, 0 skipped (stored already)\n");
    EXPECT_EQ(other.plan(1)[MonitorPlan::name], hostile);

    // A refused file names the plan in its message, escaped the same way.
    document["plans"][0]["tindex"] = "3";
    const auto refused = ChildProcess::run(binary(), {"--db", other.path(), "plans", "import",
                                                      writeFile("refused.json", document.dump())});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(holdsNoControl(refused.err));
    EXPECT_NE(refused.err.find("evil\\u001b[2J\\u0009\\u000a"), std::string::npos) << refused.err;
}

TEST_F(CliHostileTextTest, StoredHeaderFieldsNeverAddRequestLines) {
    const int id = addBoardPlan(110, 2);
    // As an older import or another program may have stored them.
    ASSERT_TRUE(db.database().execute(
        "update rule set ua='LumoTest/1.0' || char(13,10) || 'Host: evil.example' || char(10) || "
        "'X-Injected: ua', cookie='sid=1' || char(13,10) || 'X-Injected: cookie'"));
    const MonitorPlan stored = db.plan(id);

    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"run"}, std::vector<std::string>{"test", std::to_string(id)}}) {
        const auto result = cli(command);
        EXPECT_EQ(result.exitCode, 0) << command[0] << result.err;
        const ReceivedRequest request = server.lastRequest();
        EXPECT_EQ(request.headerCount("Host"), 1) << command[0] << request.headerBlock;
        EXPECT_EQ(request.header("Host"), server.hostAndPort()) << command[0];
        EXPECT_EQ(request.headerCount("X-Injected"), 0) << command[0] << request.headerBlock;
        EXPECT_EQ(request.header("User-Agent"), "LumoTest/1.0") << command[0];
        EXPECT_EQ(request.header("Cookie"), "sid=1") << command[0];
        // The log says so: on standard output for `run`, on standard error for `test`.
        const std::string line =
            utf8(gbk("出错！方案的 User-Agent、Cookie 含有回车、换行或空字符"));
        EXPECT_NE((result.out + result.err).find(line), std::string::npos)
            << command[0] << result.out << result.err;
    }
    // What the database holds is left as it is.
    EXPECT_EQ(db.plan(id)[MonitorPlan::ua], stored[MonitorPlan::ua]);
    EXPECT_EQ(db.plan(id)[MonitorPlan::cookie], stored[MonitorPlan::cookie]);
}

TEST_F(CliHostileTextTest, AFileWithLineBreaksInHeaderFieldsIsRefusedWhole) {
    addBoardPlan(110, 2);
    json document = json::parse(cli({"plans", "export"}).out);
    document["plans"].push_back(document["plans"][0]);
    document["plans"][0]["ua"] = "Lumo\r\nHost: evil.example";
    document["plans"][1]["name"] = "second";
    document["plans"][1]["cookie"] = std::string("sid=1\0X-Injected: 1", 20);

    TempDatabase other;
    const auto refused = ChildProcess::run(binary(), {"--db", other.path(), "plans", "import",
                                                      writeFile("headers.json", document.dump())});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find(utf8(gbk("字段 ua 含有回车、换行或空字符"))), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find(utf8(gbk("方案 #2「second」：字段 cookie 含有回车、换行或空字符"))),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("nothing was imported"), std::string::npos);
    EXPECT_EQ(other.query("select count(*) from rule").rows[0][0], "0");
}

}  // namespace
}  // namespace lumo::test
