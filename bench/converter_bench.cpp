// utf8ToGbk and gbkToUtf8 side by side with a plain glibc iconv conversion of the same input:
// about 300 KB of Chinese text, and about 300 KB of a forum page's list markup that mixes ASCII
// and Chinese.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "base/GbkCodec.h"

namespace {

constexpr std::size_t kTargetSize = 300 * 1024;

// Chinese text in GBK: the level-1 and level-2 characters of GB2312, over and over (without the
// five unassigned codes D7FA-D7FE, which iconv's GBK cannot convert).
lumo::Text chineseGbk(std::size_t bytes) {
    lumo::Text text;
    int lead = 0xB0;
    int trail = 0xA1;
    while (text.size() < bytes) {
        if (lead != 0xD7 || trail < 0xFA) {
            text += static_cast<char>(lead);
            text += static_cast<char>(trail);
        }
        if (++trail > 0xFE) {
            trail = 0xA1;
            if (++lead > 0xF7) lead = 0xB0;
        }
    }
    return text;
}

std::string chineseUtf8() {
    return lumo::gbkToUtf8(chineseGbk(kTargetSize * 2 / 3));
}

std::string mixedUtf8() {
    const lumo::Text words = chineseGbk(4096);
    lumo::Text page;
    std::size_t at = 0;
    for (int id = 100000; page.size() < kTargetSize * 3 / 4; ++id) {
        const lumo::Text title = words.substr(at % (words.size() - 40), 24);
        at += 26;
        page += "<li class=\"thread\"><a href=\"/forum/thread-" + std::to_string(id) +
                "-1-1.html\" title=\"" + title + "\">" + title + "</a> <span>2024-5-" +
                std::to_string(id % 28 + 1) + "</span></li>\r\n";
    }
    return lumo::gbkToUtf8(page);
}

std::string iconvConvert(iconv_t cd, const std::string& in) {
    std::string out(in.size() * 2 + 16, '\0');  // room for UTF-8 output too
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
        return std::string();  // the inputs hold only convertible text
    }
    out.resize(out.size() - dstLeft);
    return out;
}

void runUtf8ToGbk(benchmark::State& state, const std::string& input) {
    for (auto _ : state) benchmark::DoNotOptimize(lumo::utf8ToGbk(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void runIconv(benchmark::State& state, const std::string& input, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    if (iconvConvert(cd, input).empty()) {
        state.SkipWithError("iconv stopped on the input");
        iconv_close(cd);
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(iconvConvert(cd, input));
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void BM_Utf8ToGbk_Chinese(benchmark::State& state) {
    static const std::string input = chineseUtf8();
    runUtf8ToGbk(state, input);
}

void BM_Iconv_Utf8ToGbk_Chinese(benchmark::State& state) {
    static const std::string input = chineseUtf8();
    runIconv(state, input, "GBK", "UTF-8");
}

void BM_Utf8ToGbk_Mixed(benchmark::State& state) {
    static const std::string input = mixedUtf8();
    runUtf8ToGbk(state, input);
}

void BM_Iconv_Utf8ToGbk_Mixed(benchmark::State& state) {
    static const std::string input = mixedUtf8();
    runIconv(state, input, "GBK", "UTF-8");
}

void BM_GbkToUtf8_Mixed(benchmark::State& state) {
    static const std::string input = lumo::utf8ToGbk(mixedUtf8());
    for (auto _ : state) benchmark::DoNotOptimize(lumo::gbkToUtf8(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

void BM_Iconv_GbkToUtf8_Mixed(benchmark::State& state) {
    static const std::string input = lumo::utf8ToGbk(mixedUtf8());
    runIconv(state, input, "UTF-8", "GBK");
}

}  // namespace

BENCHMARK(BM_Utf8ToGbk_Chinese);
BENCHMARK(BM_Iconv_Utf8ToGbk_Chinese);
BENCHMARK(BM_Utf8ToGbk_Mixed);
BENCHMARK(BM_Iconv_Utf8ToGbk_Mixed);
BENCHMARK(BM_GbkToUtf8_Mixed);
BENCHMARK(BM_Iconv_GbkToUtf8_Mixed);
