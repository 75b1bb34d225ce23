// One real monitoring run, for the kill trials: plan 1 of the lumo.sdb at argv[1], its page fetched
// from the board address at argv[2], a pause of argv[3] milliseconds after each stored article.
// The parent kills it at a random moment.
#include <chrono>
#include <cstdlib>

#include "check/MonitorRun.h"
#include "check/MonitorState.h"
#include "check/RuleTest.h"
#include "check/WebPageSource.h"
#include "curl/CurlPageFetcher.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"
#include "support/FakeCutRegionSink.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"

int main(int argc, char** argv) {
    using namespace lumo;
    if (argc < 4) return 2;
    DatabaseConnection database;
    if (!database.open(argv[1])) return 3;
    const QueryResult rows = database.query("select * from rule where id=1");
    if (rows.rows.empty()) return 4;
    MonitorPlan plan = MonitorPlan::fromRow(rows.rows[0]);
    plan[MonitorPlan::url] = argv[2];
    test::FakeStatusLog log;
    test::FakeMessagePresenter messages;
    test::FakeCutRegionSink cutRegion;
    SqlRunner sql(database, log, messages);
    CurlPageFetcher fetcher;
    WebPageSource pages(fetcher);
    MonitorState state;
    MonitorRun::Options options;
    options.insertPause = std::chrono::milliseconds(std::atoi(argv[3]));
    MonitorRun monitorRun(pages, sql, log, cutRegion, state, options);
    state.workerBusy = true;
    monitorRun.run(plan, 1);
    return messages.messages().empty() ? 0 : 5;
}
