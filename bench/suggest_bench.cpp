// A plan suggestion for a 300 KB page, after the fetch: read the page, find and rank its lists,
// build the plans and run each one's rule test. The target is 200 ms of CPU time per page.
//   BM_SuggestPaddedBoard  a UTF-8 board of 50 threads padded with hidden previews (full of
//                          links of their own) to 300 KB
//   BM_SuggestLongBoard    a GBK board of as many threads as make 300 KB, every thread with its
//                          icon, title, page, author, reply and last-post links
#include <benchmark/benchmark.h>

#include "suggest/PlanSuggester.h"
#include "testkit/BoardPage.h"
#include "testkit/ListPages.h"

namespace {

using lumo::Bytes;
using lumo::PlanSuggester;
using lumo::SuggestionRequest;
using lumo::SuggestionResult;

constexpr std::size_t kTargetSize = 300 * 1024;

const Bytes& paddedBoard() {
    static const Bytes page =
        lumo::test::BoardPage::utf8PageOfSize(lumo::test::BoardPage::threads(150, 50), kTargetSize);
    return page;
}

const lumo::test::ListPage& longBoard() {
    static const lumo::test::ListPage page = [] {
        int threads = 50;
        lumo::test::ListPage built;
        for (int round = 0; round < 3; ++round) {
            built = lumo::test::ListPages::discuz("http://bbs.example.test", threads, true);
            threads = static_cast<int>(static_cast<double>(threads) * kTargetSize /
                                       static_cast<double>(built.body.size()));
        }
        return built;
    }();
    return page;
}

void run(benchmark::State& state, const Bytes& body, const SuggestionRequest& request,
         int articles) {
    for (auto _ : state) {
        const SuggestionResult result = PlanSuggester::suggest(body, request);
        if (result.suggestions.empty() || result.suggestions.front().matchCount != articles) {
            state.SkipWithError("the best suggestion does not find the page's articles");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.counters["pageKB"] = static_cast<double>(body.size()) / 1024.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(body.size()));
}

void BM_SuggestPaddedBoard(benchmark::State& state) {
    SuggestionRequest request;
    request.url = "http://bbs.example.test/forum-12-1.html";
    request.charset = "utf-8";
    run(state, paddedBoard(), request, 50);
}
BENCHMARK(BM_SuggestPaddedBoard)->Unit(benchmark::kMillisecond);

void BM_SuggestLongBoard(benchmark::State& state) {
    SuggestionRequest request;
    request.url = "http://bbs.example.test/bbs/forum-2-1.html";
    request.charset = "gbk";
    run(state, longBoard().body, request, static_cast<int>(longBoard().articles.size()));
}
BENCHMARK(BM_SuggestLongBoard)->Unit(benchmark::kMillisecond);

}  // namespace
