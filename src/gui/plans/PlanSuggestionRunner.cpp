#include "gui/plans/PlanSuggestionRunner.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/PlanPage.h"
#include "gui/adapters/UiText.h"
#include "gui/modules/ModuleFolders.h"
#include "gui/plans/PlanEditor.h"
#include "gui/plans/SuggestionChooser.h"
#include "gui/window/PlanEditorPage.h"
#include "suggest/PageEncoding.h"

namespace lumo {
namespace {

Text failureText(SuggestionFailure failure) {
    switch (failure) {
        case SuggestionFailure::EmptyPage:
            return gbk("页面是空的，无法生成方案。");
        case SuggestionFailure::BinaryPage:
            return gbk("该网址不是网页，无法生成方案。");
        case SuggestionFailure::TooLarge:
            return gbk("页面太大，无法生成方案。");
        case SuggestionFailure::TooDeep:
            return gbk("页面的标签嵌套过深，无法生成方案。");
        default:
            return gbk("页面中没有找到文章列表，请手动填写方案。");
    }
}

// The status code of a response's header block, or 0.
int statusOf(const Text& headers) {
    const std::size_t blank = headers.find(' ');
    return blank == Text::npos ? 0 : integerOfText(headers.substr(blank + 1, 4));
}

}  // namespace

PlanSuggestionRunner::PlanSuggestionRunner(PlanEditorPage& page, PlanEditor& editor,
                                           MessagePresenter& messages, FetchOptions fetchOptions,
                                           QObject* parent)
    : QObject(parent), page_(page), editor_(editor), messages_(messages), fetcher_(fetchOptions) {
    action_ = new QAction(page_.style()->standardIcon(QStyle::SP_FileDialogContentsView),
                          QStringLiteral("从网页生成方案"), this);
    action_->setObjectName(QStringLiteral("suggestPlanAction"));
    action_->setToolTip(QStringLiteral("从网页生成方案：找出页面中的文章列表，填入方案"));
    page_.urlEdit->addAction(action_, QLineEdit::TrailingPosition);
    connect(action_, &QAction::triggered, this, &PlanSuggestionRunner::start);
    page_.urlEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(page_.urlEdit, &QWidget::customContextMenuRequested, this,
            &PlanSuggestionRunner::showContextMenu);
}

PlanSuggestionRunner::~PlanSuggestionRunner() = default;

PlanSuggestionRunner::Suggest PlanSuggestionRunner::suggestionEngine() {
    if (suggest_ != nullptr) return suggest_;
    QStringList reasons;
    suggest_ = reinterpret_cast<Suggest>(resolveModuleEntry(
        QStringLiteral("lumo_plan_suggest"), "lumoSuggestPlans", moduleFolders(), &reasons));
    if (suggest_ == nullptr) {
        qWarning(
            "lumo: no plan can be suggested: the module lumo_plan_suggest could not be loaded "
            "(%s)",
            qUtf8Printable(reasons.join(QStringLiteral("; "))));
    }
    return suggest_;
}

void PlanSuggestionRunner::showContextMenu(const QPoint& at) {
    QMenu* menu = page_.urlEdit->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(action_);
    menu->popup(page_.urlEdit->mapToGlobal(at));
}

void PlanSuggestionRunner::start() {
    if (running_) return;
    const MonitorPlan plan = editor_.editorPlan();
    const Text url = trimText(plan[MonitorPlan::url]);
    if (url.empty()) return fail(gbk("请先填写监控网址。"));
    if (PlanPage::isBlockedAddress(url)) return fail(gbk("此站不允许监控!"));
    const Suggest suggest = suggestionEngine();
    if (suggest == nullptr) return fail(gbk("无法生成方案：缺少模块 lumo_plan_suggest。"));

    SuggestionRequest request;
    request.url = url;
    request.cookie = plan[MonitorPlan::cookie];
    // An editor emptied for a new plan has no user agent; some sites refuse a request without.
    request.userAgent =
        plan[MonitorPlan::ua].empty() ? Text(kSuggestionUserAgent) : plan[MonitorPlan::ua];
    running_ = true;
    action_->setEnabled(false);
    if (work_.joinable()) work_.join();  // the previous one has already posted
    work_ = std::jthread([this, suggest, request](std::stop_token stop) {
        Fetched fetched = fetchAndSuggest(fetcher_, suggest, request, stop);
        if (stop.stop_requested()) return;
        QMetaObject::invokeMethod(
            this, [this, fetched = std::move(fetched)] { finish(fetched); }, Qt::QueuedConnection);
    });
}

PlanSuggestionRunner::Fetched PlanSuggestionRunner::fetchAndSuggest(
    const PageFetcher& fetcher, Suggest suggest, const SuggestionRequest& request,
    std::stop_token stop) {
    FetchRequest fetch;
    fetch.url = request.url;
    fetch.method = FetchMethod::Get;
    fetch.cookie = request.cookie;
    fetch.headers = "User-Agent: " + request.userAgent;
    const Bytes body = fetcher.fetch(fetch, stop);
    Fetched fetched;
    if (!fetch.outcome.ok()) {
        fetched.failure = gbk("无法打开该网址：") + fetch.outcome.reason();
        return fetched;
    }
    const int status = statusOf(fetch.headersOut);
    if (status >= 400) {
        fetched.failure = gbk("该网址返回错误，状态码 ") + textOfInteger(status) + gbk("。");
        return fetched;
    }
    SuggestionRequest withCharset = request;
    withCharset.charset = PageEncoding::charsetOfHeaders(fetch.headersOut);
    withCharset.finalUrl = fetch.finalUrl;
    suggest(body, withCharset, fetched.result);
    if (fetched.result.failure != SuggestionFailure::None) {
        fetched.failure = failureText(fetched.result.failure);
    }
    return fetched;
}

void PlanSuggestionRunner::finish(const Fetched& fetched) {
    if (work_.joinable()) work_.join();
    running_ = false;
    action_->setEnabled(true);
    if (!fetched.failure.empty()) {
        fail(fetched.failure);
        emit finished(fetched.result);
        return;
    }
    const std::vector<Suggestion> suggestions = fetched.result.suggestions;
    chooser_ = new SuggestionChooser(suggestions, page_.window());
    connect(chooser_, &SuggestionChooser::chosen, this, [this, suggestions](int index) {
        editor_.fillFromSuggestion(suggestions[static_cast<std::size_t>(index)].plan);
    });
    chooser_->open();
    emit finished(fetched.result);
}

void PlanSuggestionRunner::fail(const Text& message) {
    messages_.showMessage(message, kDefaultCaption);
}

}  // namespace lumo
