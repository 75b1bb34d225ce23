// `lumo-cli run` and a plan that stops working: the reason, broken once, the command, the exit
// status, recovered once.
#include <atomic>

#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

class CliPlanHealthTest : public CliTestBase {
protected:
    std::string file(const std::string& name) const { return db.directory() + "/" + name; }

    // The id of the feed's entry titled "方案失效：<name>", empty when there is none; the whole
    // entry in `entry`.
    std::string brokenEntryId(const std::string& name, std::string* entry = nullptr) {
        const std::string feed = cli({"feed"}).out;
        const std::size_t title = feed.find("<title>方案失效：" + name + "</title>");
        if (title == std::string::npos) return {};
        const std::size_t start = feed.rfind("<entry>", title);
        const std::size_t end = feed.find("</entry>", title);
        if (entry != nullptr) *entry = feed.substr(start, end - start);
        const std::size_t id = feed.find("<id>", start) + 4;
        return feed.substr(id, feed.find("</id>", id) - id);
    }

    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST_F(CliPlanHealthTest, BrokenAfterThreeFailedRoundsOnceThenRecoveredOnce) {
    std::atomic<bool> mended{false};
    const Text board = BoardPage::gbkPage(BoardPage::threads(30, 4));
    server.route("/board", [&](const ReceivedRequest&) {
        ServedResponse response;
        if (mended) {
            response.body = board;
        } else {
            response.status = 403;
            response.reason = "Forbidden";
            response.body = "<html>please log in</html>";
        }
        return response;
    });
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    const int id = db.addPlan(plan);
    const std::string name = utf8(plan[MonitorPlan::name]);
    const std::string command =
        "printf '%s|%s|%s|%s|%s\\n' \"$LUMO_PLAN_ID\" \"$LUMO_PLAN_NAME\" "
        "\"$LUMO_PLAN_URL\" \"$LUMO_REASON\" \"$LUMO_FAILURES\" >> '" +
        file("broken.out") + "'";
    const std::string reason = "服务器返回 HTTP 403，源码中找不到开始标记";
    const auto round = [&] {
        return cli({"run", "--plans", std::to_string(id), "--on-broken", command});
    };

    std::string all;
    for (int n = 1; n <= 4; ++n) {
        const ChildProcess::Result result = round();
        EXPECT_EQ(result.exitCode, 3) << n << result.err;
        EXPECT_NE(result.out.find("出错！截取源码为空，请检查方案的采集区域！（" + reason + "）"),
                  std::string::npos)
            << result.out;
        EXPECT_EQ(count(result.out, "方案失效："), n == 3 ? 1 : 0) << n << result.out;
        all += result.out;
    }
    EXPECT_NE(all.find("方案失效：" + name + "（连续 3 次检查失败，自 "), std::string::npos);
    EXPECT_NE(all.find(" 起；原因：" + reason + "）----"), std::string::npos);
    // The command ran once, for the change.
    EXPECT_EQ(fileBytes(file("broken.out")),
              std::to_string(id) + "|" + name + "|" + server.url("/board") + "|" + reason + "|3\n");

    // The list shows the standing; JSON carries the whole record.
    EXPECT_NE(cli({"plans"}).out.find("\tbroken\t4\t" + reason + "\n"), std::string::npos);
    const auto listed = nlohmann::json::parse(cli({"plans", "--json"}).out);
    ASSERT_EQ(listed.size(), 1u);
    const auto& health = listed[0]["health"];
    EXPECT_EQ(health["standing"], "broken");
    EXPECT_EQ(health["outcome"], "failed");
    EXPECT_EQ(health["reason"], reason);
    EXPECT_EQ(health["failuresInARow"], 4);
    EXPECT_FALSE(health["failingSince"].get<std::string>().empty());
    EXPECT_EQ(health["lastSuccess"], "");
    EXPECT_EQ(health["lastNewArticle"], "");
    EXPECT_EQ(nlohmann::json::parse(
                  cli({"plans", "--json", "--broken-after", "5"}).out)[0]["health"]["standing"],
              "failing");

    // The feed says the watch is blind, with one id for the whole spell.
    std::string entry;
    const std::string spell = brokenEntryId(name, &entry);
    EXPECT_NE(spell, "");
    EXPECT_NE(entry.find("原因：" + reason), std::string::npos) << entry;
    EXPECT_EQ(round().exitCode, 3);
    EXPECT_EQ(brokenEntryId(name), spell);

    mended = true;
    for (int n = 1; n <= 2; ++n) {
        const ChildProcess::Result result = round();
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(count(result.out, "方案恢复正常：" + name + "----"), n == 1 ? 1 : 0)
            << result.out;
    }
    EXPECT_EQ(db.articles().size(), 4u);
    const auto recovered = nlohmann::json::parse(cli({"plans", "--json"}).out)[0]["health"];
    EXPECT_EQ(recovered["standing"], "ok");
    EXPECT_EQ(recovered["outcome"], "none");
    EXPECT_EQ(recovered["failuresInARow"], 0);
    EXPECT_NE(recovered["lastNewArticle"], "");
    EXPECT_EQ(brokenEntryId(name), "");

    // A lower threshold makes the next failure a broken spell at once.
    mended = false;
    const ChildProcess::Result once =
        cli({"run", "--plans", std::to_string(id), "--broken-after", "1"});
    EXPECT_EQ(once.exitCode, 3);
    EXPECT_NE(once.out.find("方案失效：" + name + "（连续 1 次检查失败"), std::string::npos);
    // A new spell, a new entry (the feed counts as the run did).
    const std::string feed = cli({"feed", "--broken-after", "1"}).out;
    EXPECT_NE(feed.find("<title>方案失效：" + name + "</title>"), std::string::npos);
    EXPECT_EQ(feed.find(spell), std::string::npos);
}

}  // namespace
}  // namespace lumo::test
