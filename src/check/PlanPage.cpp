#include "check/PlanPage.h"

#include <algorithm>

#include "base/GbkCodec.h"
#include "http/FetchHeaders.h"

namespace lumo {
namespace {

const Text& headerCutStart() {
    static const Text text = gbk("\r\n出错！方案的 ");
    return text;
}
const Text& headerCutEnd() {
    static const Text text = gbk(" 含有回车、换行或空字符，请求里只发送了它们前面的部分----");
    return text;
}

}  // namespace

bool PlanPage::isBlockedAddress(const Text& url) {
    return url.find(kBlockedSiteMarker) != Text::npos;
}

PlanPage::RequestHeaders PlanPage::requestHeadersOf(const MonitorPlan& plan, const Text& now) {
    const Text& agent = plan[MonitorPlan::ua];
    const Text& cookie = plan[MonitorPlan::cookie];
    RequestHeaders sent{"User-Agent: " + headerSafePart(agent), headerSafePart(cookie), Text()};
    Text cutFields;
    if (!isHeaderSafe(agent)) cutFields = "User-Agent";
    if (!isHeaderSafe(cookie)) cutFields += Text(cutFields.empty() ? "" : gbk("、")) + "Cookie";
    if (!cutFields.empty()) sent.cutLine = headerCutStart() + cutFields + headerCutEnd() + now;
    return sent;
}

Text PlanPage::fetchText(PageSource& pages, StatusLog& log, const MonitorPlan& plan,
                         const Text& now, FetchNote& note) {
    const bool utf8 = plan[MonitorPlan::code] != "1";
    const RequestHeaders sent = requestHeadersOf(plan, now);
    if (!sent.cutLine.empty()) log.append(sent.cutLine);
    return withoutCrLf(
        pages.fetchPlanPage(plan[MonitorPlan::url], sent.cookie, sent.headers, utf8, note));
}

// The pairs are those of the text as given (removing one never makes another), and the text is
// compacted where it lies.
Text PlanPage::withoutCrLf(Text text) {
    std::size_t out = text.find("\r\n");
    if (out == Text::npos) return text;
    std::size_t from = out + 2;
    for (;;) {
        const std::size_t next = text.find("\r\n", from);
        const std::size_t end = next == Text::npos ? text.size() : next;
        std::copy(text.begin() + from, text.begin() + end, text.begin() + out);  // forwards
        out += end - from;
        if (next == Text::npos) break;
        from = next + 2;
    }
    text.resize(out);
    return text;
}

const Text& PlanPage::emptyRegionLine() {
    static const Text text = gbk("出错！截取源码为空，请检查方案的采集区域！");
    return text;
}

}  // namespace lumo
