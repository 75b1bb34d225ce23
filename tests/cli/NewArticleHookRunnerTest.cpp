// Which articles `run --on-new` hands to the command: a fake run stores rows of its own plan and,
// meanwhile, rows of other plans as the window or another lumo-cli would.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "base/GbkCodec.h"
#include "cli/NewArticleHookRunner.h"
#include "support/ArticleRows.h"
#include "support/FakeStatusLog.h"
#include "support/FileLock.h"
#include "support/TempDatabase.h"

namespace lumo::test {
namespace {

class ScriptedRun : public PlanRunner {
public:
    explicit ScriptedRun(std::function<void()> work) : work_(std::move(work)) {}
    PlanOutcome runPlan(const MonitorPlan&, int, std::stop_token) override {
        work_();
        return PlanOutcome::stored(2);
    }

private:
    std::function<void()> work_;
};

class NewArticleHookRunnerTest : public ::testing::Test {
protected:
    void store(int planId) {
        ArticleRecord article;
        article[ArticleRecord::planid] = std::to_string(planId);
        article[ArticleRecord::title] = gbk("标题");
        ASSERT_NE(addArticle(db.database(), article), 0);
    }

    // Runs plan 1 through the hook runner around `work`; the article ids the command got.
    std::string runPlanOne(const std::function<void()>& work) {
        ScriptedRun inner(work);
        const std::string ids = db.directory() + "/ids";
        const NewArticleCommand command("printf '%s\\n' \"$LUMO_ARTICLE_ID\" >> '" + ids + "'",
                                        commandLog);
        cli::NewArticleHookRunner hooks(inner, db.database(), command, state, log);
        MonitorPlan plan;
        plan[MonitorPlan::id] = "1";
        outcome = hooks.runPlan(plan, 1, {});
        std::stringstream content;
        content << std::ifstream(ids).rdbuf();
        return content.str();
    }

    TempDatabase db;
    MonitorState state;
    PlanOutcome outcome;  // of the latest runPlanOne
    FakeStatusLog commandLog;
    FakeStatusLog log;
};

TEST_F(NewArticleHookRunnerTest, OnlyRowsOfThePlanJustRunStoredDuringItsRunCount) {
    store(1);  // stored before: not new
    const std::string ids = runPlanOne([&] {
        store(2);  // another program's plan, meanwhile
        store(1);
        store(1);
        store(3);
    });
    EXPECT_EQ(ids, "3\n4\n");
    EXPECT_EQ(outcome.kind, PlanOutcome::Kind::NewArticles);  // the inner run's, passed on
    EXPECT_EQ(outcome.newArticles, 2);
    EXPECT_TRUE(log.content().empty());
    EXPECT_TRUE(commandLog.content().empty()) << gbkToUtf8(commandLog.content());
}

TEST_F(NewArticleHookRunnerTest, AStopOrAnUnreadableTableRunsNoCommand) {
    EXPECT_EQ(runPlanOne([&] {
                  store(1);
                  state.requestStop();
              }),
              "");
    EXPECT_EQ(outcome.kind, PlanOutcome::Kind::Abandoned);
    EXPECT_EQ(outcome.newArticles, 2);
    state.clearStop();
    EXPECT_TRUE(log.content().empty());

    // The table cannot be read before the run: rather no command than one for every article.
    db.database().close();
    EXPECT_EQ(runPlanOne([&] {
                  ASSERT_TRUE(db.database().open(db.path()));
                  store(1);
              }),
              "");
    EXPECT_EQ(gbkToUtf8(log.content()),
              "\r\n无法读取文章表，方案 1 这次运行存下的新文章没有执行新文章命令（the database is "
              "not open）");
}

TEST_F(NewArticleHookRunnerTest, ABusyFileBeforeOrAfterTheRunRunsNoCommandAndSaysWhy) {
    db.database().setBusyTimeout(100);
    store(1);
    store(1);
    // Another program holds the file when the run begins: its highest id cannot be read, and
    // the articles stored before must not count as new.
    auto lock = std::make_unique<FileLock>(db.path());
    EXPECT_EQ(runPlanOne([&] {
                  lock->release();
                  store(1);
              }),
              "");
    EXPECT_NE(log.content().find(gbk("没有执行新文章命令（database is locked）")), Text::npos)
        << gbkToUtf8(log.content());

    // It takes the file after the run has stored its article: that article is not dropped
    // without a word.
    log.replace("");
    EXPECT_EQ(runPlanOne([&] {
                  store(1);
                  lock = std::make_unique<FileLock>(db.path());
              }),
              "");
    EXPECT_NE(log.content().find(gbk("没有执行新文章命令（database is locked）")), Text::npos)
        << gbkToUtf8(log.content());
    lock.reset();
    EXPECT_EQ(db.articles().size(), 4u);
}

}  // namespace
}  // namespace lumo::test
