#include "plans/PlanEditorRules.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/JudgementMode.h"
#include "store/SqlValues.h"

namespace lumo {
namespace {

// A quoted SQL literal of `value`.
Text literal(const Text& value) {
    return "'" + sqlQuoteDoubled(value) + "'";
}

}  // namespace

MonitorPlan editorContentOf(PlanEditMode mode, const MonitorPlan& row) {
    const MonitorPlan source = mode == PlanEditMode::New ? MonitorPlan{} : row;
    MonitorPlan content;
    content[MonitorPlan::id] = mode == PlanEditMode::Edit ? source[MonitorPlan::id] : "0";
    content[MonitorPlan::code] = source[MonitorPlan::code] == "0" ? "0" : "1";
    content[MonitorPlan::type] = textOfInteger(integerOfText(source[MonitorPlan::type]));
    for (MonitorPlan::Column column : kEditorTextColumns) content[column] = source[column];
    return content;
}

Text saveButtonCaption(PlanEditMode mode) {
    static const Text update = gbk("更新规则");
    static const Text create = gbk("新建规则");
    return mode == PlanEditMode::Edit ? update : create;
}

JudgementRadios judgementRadiosOf(int mode) {
    if (mode == static_cast<int>(JudgementMode::CompareArticleId)) return {3, true};
    if (mode == static_cast<int>(JudgementMode::OldestFirst)) return {2, false};
    return {1, false};
}

Text planSaveStatement(const MonitorPlan& c) {
    using P = MonitorPlan;
    if (c[P::id] == "0") {
        return "insert into rule(isdo,code,url,before,after,regular,buquan,cookie,tindex,uindex,"
               "oindex,ua,name,type) values('1'," +
               literal(c[P::code]) + "," + literal(c[P::url]) + "," + literal(c[P::before]) + "," +
               literal(c[P::after]) + "," + literal(c[P::regular]) + "," + literal(c[P::buquan]) +
               "," + literal(c[P::cookie]) + "," + literal(c[P::tindex]) + "," +
               literal(c[P::uindex]) + "," + literal(c[P::oindex]) + "," + literal(c[P::ua]) + "," +
               literal(c[P::name]) + "," + literal(c[P::type]) + ")";
    }
    return "update rule set code=" + literal(c[P::code]) + ",url=" + literal(c[P::url]) +
           ",before=" + literal(c[P::before]) + ",after=" + literal(c[P::after]) +
           ",regular=" + literal(c[P::regular]) + ",buquan=" + literal(c[P::buquan]) +
           ",cookie=" + literal(c[P::cookie]) + ",tindex=" + literal(c[P::tindex]) +
           ",uindex=" + literal(c[P::uindex]) + ",oindex=" + literal(c[P::oindex]) +
           ",ua=" + literal(c[P::ua]) + ",name=" + literal(c[P::name]) +
           ",type=" + literal(c[P::type]) + " where id=" + c[P::id];
}

SaveReport saveReportOf(const Text& statement, bool saved) {
    static const Text prefix = gbk("SQL语句：");
    static const Text success = gbk("方案新建成功！");
    static const Text failure = gbk("创建失败！");
    return {prefix + statement, saved ? success : failure};
}

std::optional<Text> fieldHint(MonitorPlan::Column column) {
    switch (column) {
        case MonitorPlan::name:
            return gbk("方案的标识，示例：天涯论坛_休闲版块");
        case MonitorPlan::url:
            return gbk("被监控的页面地址");
        case MonitorPlan::before:
            return gbk("将从源码的该标记开始匹配，如不明白，可保持默认");
        case MonitorPlan::after:
            return gbk("采集区域从此处结束，如不明白，可保持默认");
        case MonitorPlan::regular:
            return gbk("重要！匹配文章的正则表达式，") + "<a href=\"" + kPatternHelpTarget + "\">" +
                   gbk("获取帮助") + "</a>";
        case MonitorPlan::cookie:
            return gbk("可为空！用于需要登陆才能查看的网站");
        case MonitorPlan::ua:
            return gbk("自定义浏览器标记，采集手机版页面可能用到！");
        case MonitorPlan::code:
            return gbk("源站的编码，选错会乱码。勾选表示gbk，否则为utf-8");
        case MonitorPlan::tindex:
            return gbk("正则匹配得到的 标题的索引编号。下同");
        case MonitorPlan::buquan:
            return gbk("合成实际的文章地址。[1]表示测试结果索引1的内容");
        default:
            return std::nullopt;
    }
}

Text initialEditorHint() {
    return gbk("提示：规则测试正确后，才能保存配置");
}

bool holdsTheTestedFields(const MonitorPlan& now, const MonitorPlan& tested) {
    static constexpr MonitorPlan::Column kTested[] = {
        MonitorPlan::id,   MonitorPlan::url,    MonitorPlan::cookie, MonitorPlan::ua,
        MonitorPlan::code, MonitorPlan::before, MonitorPlan::after,  MonitorPlan::regular};
    for (MonitorPlan::Column column : kTested) {
        if (now[column] != tested[column]) return false;
    }
    return true;
}

}  // namespace lumo
