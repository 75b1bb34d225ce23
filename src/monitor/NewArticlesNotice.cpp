#include "monitor/NewArticlesNotice.h"

#include <algorithm>

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo {
namespace {

Text plansLine(const std::vector<RoundNews::PlanCount>& plans) {
    Text line = gbk("来自：");
    const std::size_t shown = std::min<std::size_t>(plans.size(), kNoticeMostPlans);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) line += gbk("、");
        line += noticeLine(plans[i].plan, kNoticeLongestTitle) + gbk("（") +
                textOfInteger(plans[i].count) + gbk("）");
    }
    if (shown < plans.size()) {
        line += gbk(" 等 ") + textOfInteger(static_cast<int>(plans.size())) + gbk(" 个方案");
    }
    return line;
}

}  // namespace

Text noticeLine(const Text& text, int most) {
    Text line;
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == most) return line + gbk("…");
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < text.size()) {
            line.append(text, i, 2);
            i += 2;
            continue;
        }
        line.push_back(byte < 0x20 || byte == 0x7F ? ' ' : text[i]);
        ++i;
    }
    return line;
}

DesktopNotice newArticlesNotice(const RoundNews& news) {
    DesktopNotice notice;
    notice.summary = gbk("发现 ") + textOfInteger(news.total) + gbk(" 篇新文章");
    notice.bodyLines.push_back(plansLine(news.plans));
    const int titles = std::min<int>(kNoticeMostTitles, static_cast<int>(news.newest.size()));
    for (int i = 0; i < titles; ++i) {
        notice.bodyLines.push_back(
            noticeLine(news.newest[static_cast<std::size_t>(i)].title, kNoticeLongestTitle));
    }
    if (news.total > titles) {
        notice.bodyLines.push_back(gbk("……还有 ") + textOfInteger(news.total - titles) +
                                   gbk(" 篇"));
    }
    if (!news.newest.empty()) notice.link = news.newest.front().address;
    return notice;
}

}  // namespace lumo
