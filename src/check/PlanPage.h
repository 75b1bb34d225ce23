#pragma once

#include "base/StatusLog.h"
#include "base/Text.h"
#include "check/MonitorPlan.h"
#include "check/PageSource.h"

namespace lumo {

// A plan's page as both kinds of check get it: the request sent for it, whether its address may
// be fetched at all, and its text as the cut and the pattern read it.
//
// Thread-safety: stateless; callable from any thread with collaborators that are.
class PlanPage {
public:
    // An 8-character ASCII text: an address holding it anywhere (with case) may not be tested.
    // It is the publisher's own site, which the tool is not to be aimed at.
    static constexpr const char* kBlockedSiteMarker = "lumosoft";

    // True when the address contains kBlockedSiteMarker.
    static bool isBlockedAddress(const Text& url);

    // What a fetch of a plan's page sends besides the address: the header line "User-Agent: " +
    // the plan's user agent, and its cookie, each field up to its first CR, LF or NUL, so that no
    // stored plan can add header lines of its own. `cutLine` is empty, or the log line that names
    // the fields that were cut, ending in "----" + `now`.
    struct RequestHeaders {
        Text headers;
        Text cookie;
        Text cutLine;
    };
    static RequestHeaders requestHeadersOf(const MonitorPlan& plan, const Text& now);

    // The plan's page from `pages` as GBK text (a plan's page is GBK when its code is "1", and
    // UTF-8 otherwise) with every CR LF pair removed. A request whose fields were cut logs the
    // cut line to `log` first. `note` receives how the fetch went.
    static Text fetchText(PageSource& pages, StatusLog& log, const MonitorPlan& plan,
                          const Text& now, FetchNote& note);

    // "出错！截取源码为空，请检查方案的采集区域！": the line of a check whose region is empty.
    static const Text& emptyRegionLine();

    // `text` with every CR LF pair removed (a lone CR or LF stays), as a check takes a page
    // before it cuts.
    static Text withoutCrLf(Text text);
};

}  // namespace lumo
