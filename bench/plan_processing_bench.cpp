// One monitoring run's work on a 300 KB UTF-8 board page of 50 articles, without the network and
// without the pauses after inserts:
//   BM_ConvertCutMatchJudge  the whole run, with statements built but no database behind them
//   BM_FullRunTempDatabase   the whole run recording 50 articles into a temporary lumo.sdb
//   BM_ConvertOnly, BM_MatchOnly  the two biggest pieces on their own
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/MonitorRun.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"
#include "suggest/NullCutRegionSink.h"
#include "suggest/NullStatusLog.h"
#include "testkit/BoardPage.h"
#include "testkit/QuietSeams.h"

namespace {

using lumo::Bytes;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::test::BoardPage;

constexpr const char* kUrl = "http://bbs.example.test/forum-12-1.html";
constexpr std::size_t kTargetSize = 300 * 1024;

// The board page in UTF-8, padded to about 300 KB.
const Bytes& boardPage() {
    static const Bytes page = BoardPage::utf8PageOfSize(BoardPage::threads(150, 50), kTargetSize);
    return page;
}

class ServedPage : public lumo::PageSource {
public:
    Bytes fetchPage(const Text&, const Text&, const Text&) override { return boardPage(); }
};

lumo::MonitorRun::Options noPause() {
    lumo::MonitorRun::Options options;
    options.insertPause = std::chrono::milliseconds(0);
    return options;
}

// A never-checked 时间倒序 plan: every article of the page is new.
MonitorPlan freshPlan() {
    MonitorPlan plan = BoardPage::plan(kUrl, false, "0");
    plan[MonitorPlan::id] = "1";
    return plan;
}

void reportPages(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(boardPage().size()));
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["page_bytes"] = static_cast<double>(boardPage().size());
}

void BM_ConvertCutMatchJudge(benchmark::State& state) {
    ServedPage pages;
    lumo::NullStatusLog log;
    lumo::testkit::SilentMessages messages;
    lumo::NullCutRegionSink cutRegion;
    lumo::MonitorState monitor;
    lumo::DatabaseConnection closed;  // every statement is built, then refused at once
    lumo::SqlRunner sql(closed, log, messages);
    lumo::MonitorRun monitorRun(pages, sql, log, cutRegion, monitor, noPause());
    const MonitorPlan plan = freshPlan();
    for (auto _ : state) {
        const auto result = monitorRun.run(plan, 1);
        if (result.matchCount != 50) state.SkipWithError("expected 50 new articles");
        benchmark::DoNotOptimize(result);
    }
    reportPages(state);
}
BENCHMARK(BM_ConvertCutMatchJudge)->Unit(benchmark::kMillisecond);

// A temporary lumo.sdb from the shipped schema.
class TempFile {
public:
    TempFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumo-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
        directory_ = pattern;
        path_ = directory_ + "/lumo.sdb";
        std::ifstream in(LUMO_SCHEMA_FILE, std::ios::binary);
        std::stringstream schema;
        schema << in.rdbuf();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const int rc = sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error("schema failed");
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string directory_;
    std::string path_;
};

void BM_FullRunTempDatabase(benchmark::State& state) {
    TempFile file;
    lumo::DatabaseConnection database;
    database.open(file.path());
    database.execute("insert into rule(id,name) values(1,'bench')");
    ServedPage pages;
    lumo::NullStatusLog log;
    lumo::testkit::SilentMessages messages;
    lumo::NullCutRegionSink cutRegion;
    lumo::MonitorState monitor;
    lumo::SqlRunner sql(database, log, messages);
    lumo::MonitorRun monitorRun(pages, sql, log, cutRegion, monitor, noPause());
    const MonitorPlan plan = freshPlan();
    for (auto _ : state) {
        const auto result = monitorRun.run(plan, 1);
        if (result.recordedCount != 50) state.SkipWithError("expected 50 articles");
    }
    reportPages(state);
}
BENCHMARK(BM_FullRunTempDatabase)->Unit(benchmark::kMillisecond);

void BM_ConvertOnly(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(lumo::utf8ToGbk(boardPage()));
    reportPages(state);
}
BENCHMARK(BM_ConvertOnly)->Unit(benchmark::kMillisecond);

void BM_MatchOnly(benchmark::State& state) {
    const Text cut =
        lumo::textBetween(lumo::replaceAllText(lumo::utf8ToGbk(boardPage()), "\r\n", ""),
                          BoardPage::kListStart, BoardPage::kListEnd);
    for (auto _ : state) {
        const auto matches = lumo::ArticleMatches::search(BoardPage::kPattern, cut);
        if (matches.count() != 50) state.SkipWithError("expected 50 matches");
        benchmark::DoNotOptimize(matches);
    }
    reportPages(state);
}
BENCHMARK(BM_MatchOnly)->Unit(benchmark::kMillisecond);

}  // namespace
