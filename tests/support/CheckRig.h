#pragma once

#include <chrono>

#include "check/MonitorRun.h"
#include "check/MonitorState.h"
#include "check/RuleTest.h"
#include "check/WebPageSource.h"
#include "curl/CurlPageFetcher.h"
#include "store/SqlRunner.h"
#include "support/FakeCutRegionSink.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/TempDatabase.h"

namespace lumo::test {

// A plan's check as the program wires it, over the real page fetch, on a fresh lumo.sdb: a
// monitoring run without the pause after each stored article, and a rule test, sharing one log,
// one message box and one cut region that the test reads.
struct CheckRig {
    explicit CheckRig(const FetchOptions& fetchOptions) : fetcher(fetchOptions) {}

    static MonitorRun::Options noPause() {
        MonitorRun::Options options;
        options.insertPause = std::chrono::milliseconds(0);
        return options;
    }

    TempDatabase db;
    FakeStatusLog log;
    FakeMessagePresenter messages;
    SqlRunner sql{db.database(), log, messages};
    CurlPageFetcher fetcher;
    WebPageSource source{fetcher};
    FakeCutRegionSink cutRegion;
    MonitorState state;
    MonitorRun monitorRun{source, sql, log, cutRegion, state, noPause()};
    RuleTest ruleTest{source, log, messages, cutRegion};
};

}  // namespace lumo::test
