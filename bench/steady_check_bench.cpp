// The steady-state check of one plan through the core, for bench/compare_urlwatch.sh: the same
// work a monitoring run does on a board page whose newest article is known already (fetch over
// HTTP, convert, cut, match, judge; nothing new, so nothing is written), repeated and timed in
// CPU time of this process (user + system).
//
//   steady_check_bench page FILE          writes the 300 KB UTF-8 board page of 50 threads
//   steady_check_bench check URL CHECKS   runs CHECKS steady checks against URL, which serves
//                                         that page, and prints "lumo_cpu_ms_per_check <ms>"
//
// A check whose marker is missing, or that finds an article, makes the program fail: the figure
// would not be the steady state's.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "base/AllocatorSettings.h"
#include "check/MonitorRun.h"
#include "check/WebPageSource.h"
#include "curl/CurlPageFetcher.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"
#include "suggest/NullCutRegionSink.h"
#include "testkit/BoardPage.h"
#include "testkit/QuietSeams.h"

namespace {

using lumo::Bytes;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::test::BoardPage;

constexpr std::size_t kTargetSize = 300 * 1024;

std::vector<BoardPage::Thread> boardThreads() {
    return BoardPage::threads(150, 50);
}

// The board page in UTF-8, padded to about 300 KB.
Bytes boardPage() {
    return BoardPage::utf8PageOfSize(boardThreads(), kTargetSize);
}

// Counts the lines that report a fault; the closing line of a run is none.
class CountingLog : public lumo::StatusLog {
public:
    void append(const Text& line) override {
        if (line.find(lumo::gbk("出错")) != Text::npos) ++faults;
    }
    void replace(const Text&) override {}
    int faults = 0;
};

double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

int writePage(const char* file) {
    std::ofstream out(file, std::ios::binary);
    const Bytes page = boardPage();
    out.write(page.data(), static_cast<std::streamsize>(page.size()));
    if (!out) {
        std::cerr << "cannot write " << file << "\n";
        return 1;
    }
    std::cout << page.size() << " bytes, " << boardThreads().size() << " threads\n";
    return 0;
}

int runChecks(const char* url, int checks) {
    lumo::CurlPageFetcher fetcher;
    lumo::WebPageSource pages(fetcher);
    CountingLog log;
    lumo::testkit::SilentMessages messages;
    lumo::NullCutRegionSink cutRegion;
    lumo::MonitorState state;
    lumo::DatabaseConnection closed;  // a steady check writes nothing; a statement would be refused
    lumo::SqlRunner sql(closed, log, messages);
    lumo::MonitorRun::Options options;
    options.insertPause = std::chrono::milliseconds(0);
    lumo::MonitorRun monitorRun(pages, sql, log, cutRegion, state, options);

    // A 时间倒序 plan that has seen the newest thread of the page already.
    MonitorPlan plan = BoardPage::plan(url, false, "0");
    plan[MonitorPlan::id] = "1";
    plan[MonitorPlan::arttile] = boardThreads().front().title;

    const auto check = [&] {
        const auto result = monitorRun.run(plan, 1);
        if (result.recordedCount != 0 || result.matchCount != 0 || log.faults != 0) {
            std::cerr << "not a steady check: " << result.matchCount << " matches, " << log.faults
                      << " faults (is the page served at " << url << "?)\n";
            std::exit(1);
        }
    };
    for (int i = 0; i < 5; ++i) check();  // warm up: tables, allocator, resolver

    const double cpuStart = cpuMilliseconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (int i = 0; i < checks; ++i) check();
    const double cpu = cpuMilliseconds() - cpuStart;
    const std::chrono::duration<double, std::milli> wall =
        std::chrono::steady_clock::now() - wallStart;
    std::printf("lumo_checks %d\nlumo_cpu_ms_per_check %.4f\nlumo_wall_ms_per_check %.4f\n", checks,
                cpu / checks, wall.count() / checks);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();  // as the program does
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "page" && argc == 3) return writePage(argv[2]);
    if (mode == "check" && argc == 4) {
        const int checks = std::atoi(argv[3]);
        if (checks > 0) return runChecks(argv[2], checks);
    }
    std::cerr << "usage: steady_check_bench page FILE | check URL CHECKS\n";
    return 2;
}
