#include "check/CheckReasons.h"

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"

namespace lumo {
namespace {

Text joined(const Text& first, const Text& second) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    return first + gbk("，") + second;
}

Text errorStatusText(int status) {
    if (status < 400) return Text();
    return gbk("服务器返回 HTTP ") + textOfInteger(status);
}

// A failure of `kind` about the page, the error status (when there was one) said first.
Status pageFailure(Status::Kind kind, const Text& what, int status) {
    return Status::failure(kind, joined(errorStatusText(status), what), status < 400 ? 0 : status);
}

Status missingPart(Cut cut, int status) {
    switch (cut) {
        case Cut::NoText:
            return pageFailure(Status::Kind::Empty, gbk("页面为空"), status);
        case Cut::NoLeft:
            return pageFailure(Status::Kind::Missing, gbk("源码中找不到开始标记"), status);
        case Cut::NoRight:
            return pageFailure(Status::Kind::Missing, gbk("开始标记之后找不到结束标记"), status);
        case Cut::EmptyRight:
            return pageFailure(Status::Kind::Refused, gbk("结束标记为空"), status);
        case Cut::NothingBetween:
        case Cut::Some:  // not when the region is empty
            break;
    }
    return pageFailure(Status::Kind::Empty, gbk("开始标记与结束标记之间没有内容"), status);
}

}  // namespace

Status errorStatusFailure(int status) {
    if (status < 400) return Status();
    return Status::failure(Status::Kind::Refused, errorStatusText(status), status);
}

Status emptyRegionFailure(const Text& page, const FetchNote& note, const Text& before,
                          const Text& after) {
    if (!note.outcome.ok()) return note.outcome;
    return missingPart(whyCutIsEmpty(page, before, after), note.status);
}

Status noMatchFailure(const Status& pattern, int status) {
    if (pattern.ok())
        return pageFailure(Status::Kind::Empty, gbk("采集区域里没有匹配到任何文章"), status);
    return pageFailure(pattern.kind(), gbk("正则匹配失败：") + pattern.reason(), status);
}

Text withReason(const Text& line, const Status& status) {
    if (status.ok()) return line;
    return line + gbk("（") + status.reason() + gbk("）");
}

}  // namespace lumo
