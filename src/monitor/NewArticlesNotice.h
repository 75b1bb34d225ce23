#pragma once

#include "check/RoundArticles.h"
#include "monitor/DesktopNotice.h"

namespace lumo {

// The desktop notification of a round that stored new articles:
// - summary "发现 <n> 篇新文章";
// - the first body line names the plans with their counts, "来自：A（2）、B（1）", at most
//   kMostPlans of them, then "等 <k> 个方案";
// - then the newest titles, at most kMostTitles, one a line, each cut to kLongestTitle
//   characters, with control characters made blanks;
// - then "……还有 <m> 篇" when there were more;
// - the link of the newest article.
// Pure; any thread.
DesktopNotice newArticlesNotice(const RoundNews& news);

// At most `most` characters of a GBK text for a notice's line (a lead byte takes its trail byte
// along), control characters made blanks, with "…" where it was cut.
Text noticeLine(const Text& text, int most);

constexpr int kNoticeMostTitles = 3;
constexpr int kNoticeMostPlans = 4;
constexpr int kNoticeLongestTitle = 60;

}  // namespace lumo
