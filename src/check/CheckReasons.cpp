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

Text missingPart(Cut cut) {
    switch (cut) {
        case Cut::NoText:
            return gbk("页面为空");
        case Cut::NoLeft:
            return gbk("源码中找不到开始标记");
        case Cut::NoRight:
            return gbk("开始标记之后找不到结束标记");
        case Cut::EmptyRight:
            return gbk("结束标记为空");
        case Cut::NothingBetween:
            return gbk("开始标记与结束标记之间没有内容");
        case Cut::Some:
            break;
    }
    return Text();
}

}  // namespace

Text errorStatusReason(int status) {
    if (status < 400) return Text();
    return gbk("服务器返回 HTTP ") + textOfInteger(status);
}

Text emptyRegionReason(const Text& page, const FetchNote& note, const Text& before,
                       const Text& after) {
    if (!note.failure.empty()) return note.failure;
    return joined(errorStatusReason(note.status), missingPart(whyCutIsEmpty(page, before, after)));
}

Text noMatchReason(const Text& patternFailure, int status) {
    const Text what = patternFailure.empty() ? gbk("采集区域里没有匹配到任何文章")
                                             : gbk("正则匹配失败：") + patternFailure;
    return joined(errorStatusReason(status), what);
}

Text withReason(const Text& line, const Text& reason) {
    if (reason.empty()) return line;
    return line + gbk("（") + reason + gbk("）");
}

}  // namespace lumo
