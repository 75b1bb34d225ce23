// findText with a huge marker on a huge page: a 1 MB title as the stored marker on a 10 MB page.
#include <benchmark/benchmark.h>

#include "base/TextOps.h"

namespace {

using lumo::Text;

// Chinese-looking two-byte text whose halves also spell the marker one byte off, so the search
// meets a million false starts inside characters before the real copy at the end.
void BM_FindText_HugeMarkerAtTheEnd(benchmark::State& state) {
    Text page;
    page.reserve(11u << 20);
    for (int i = 0; i < 5 * 1000 * 1000; ++i) page += "\x81\x82";
    Text marker;
    for (int i = 0; i < 500 * 1000; ++i) marker += "\x82\x81";
    page += "a" + marker;
    for (auto _ : state) benchmark::DoNotOptimize(lumo::findText(page, marker));
}
BENCHMARK(BM_FindText_HugeMarkerAtTheEnd)->Unit(benchmark::kMillisecond);

void BM_FindText_HugeMarkerMissing(benchmark::State& state) {
    const Text page(10u << 20, 'a');
    Text marker(1u << 20, 'a');
    marker.back() = 'b';
    for (auto _ : state) benchmark::DoNotOptimize(lumo::findText(page, marker));
}
BENCHMARK(BM_FindText_HugeMarkerMissing)->Unit(benchmark::kMillisecond);

}  // namespace
