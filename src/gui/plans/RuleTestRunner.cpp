#include "gui/plans/RuleTestRunner.h"

#include <QPushButton>

#include "check/PlanPage.h"
#include "check/RuleTest.h"
#include "gui/plans/HeldMessages.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"

namespace lumo {
namespace {

// The page fetched for a test, handed to the processor as its page source, with what the fetch
// said (why it failed, the response's status).
class FetchedPage : public PageSource {
public:
    FetchedPage(Bytes body, FetchNote note) : body_(std::move(body)), note_(std::move(note)) {}
    Bytes fetchPage(const Text&, const Text&, const Text&) override { return body_; }
    Text fetchPlanPage(const Text& url, const Text& cookie, const Text& headers, bool utf8,
                       FetchNote& note) override {
        note = note_;
        return fetchPageText(url, cookie, headers, utf8);
    }

private:
    Bytes body_;
    FetchNote note_;
};

// Never asked: a blocked address is refused before any fetch.
class NoPage : public PageSource {
public:
    Bytes fetchPage(const Text&, const Text&, const Text&) override { return Bytes(); }
};

}  // namespace

RuleTestRunner::RuleTestRunner(PlanEditorPage& page, Collaborators collaborators,
                               FetchOptions fetchOptions, QObject* parent)
    : QObject(parent), page_(page), with_(std::move(collaborators)), fetcher_(fetchOptions) {
    connect(page_.testButton, &QPushButton::clicked, this, &RuleTestRunner::startTest);
}

RuleTestRunner::~RuleTestRunner() = default;

void RuleTestRunner::startTest() {
    if (running_) return;
    const MonitorPlan plan = with_.currentPlan();
    if (PlanPage::isBlockedAddress(plan[MonitorPlan::url])) {
        NoPage none;
        RuleTest ruleTest(none, *with_.log, *with_.messages, *with_.cutRegion);
        emit testFinished(ruleTest.testPlan(plan));  // only the message
        return;
    }

    running_ = true;
    // Disabling a focused button would hand the focus on to the next unit, which would show that
    // unit's hint; the focus is parked instead and comes back when the test ends.
    QPushButton* button = page_.testButton;
    refocusButton_ = button->hasFocus();
    if (refocusButton_) button->clearFocus();
    button->setEnabled(false);
    if (fetch_.joinable()) fetch_.join();  // the previous test's thread has already posted
    const PlanPage::RequestHeaders sent = PlanPage::requestHeadersOf(plan, nowText());
    if (!sent.cutLine.empty()) with_.log->append(sent.cutLine);
    fetch_ = std::jthread([this, plan, sent](std::stop_token stop) {
        // The same request a monitoring run sends: GET with the plan's cookie (always supplied,
        // possibly empty) and its user agent.
        FetchRequest request;
        request.url = plan[MonitorPlan::url];
        request.method = FetchMethod::Get;
        request.cookie = sent.cookie;
        request.headers = sent.headers;
        Bytes body = fetcher_.fetch(request, stop);
        if (stop.stop_requested()) return;
        // Cut and match here too: a huge page or a pattern that backtracks for seconds never
        // holds up the window. The boxes wait for the window thread, which first clears the
        // table.
        FetchedPage page(std::move(body), FetchNote{request.outcome, request.status});
        HeldMessages held;
        RuleTest ruleTest(page, *with_.log, held, *with_.cutRegion);
        RuleTestResult result = ruleTest.run(plan, [&stop] { return stop.stop_requested(); });
        if (stop.stop_requested()) return;
        QMetaObject::invokeMethod(
            this,
            [this, plan, result = std::move(result), messages = held.take()] {
                finishTest(plan, result, messages);
            },
            Qt::QueuedConnection);
    });
}

void RuleTestRunner::finishTest(const MonitorPlan& plan, const RuleTestResult& result,
                                const std::vector<HeldMessages::Message>& messages) {
    if (fetch_.joinable()) fetch_.join();
    // The previous table goes before the outcome is shown, as a message about no match may
    // follow.
    page_.testResultList->setColumns({});
    for (const HeldMessages::Message& message : messages) {
        with_.messages->showMessage(message.text, message.caption);
    }
    show(plan, result);
    running_ = false;
    page_.testButton->setEnabled(true);
    if (refocusButton_ && page_.window()->focusWidget() == nullptr) {
        page_.testButton->setFocus(Qt::OtherFocusReason);
    }
    emit testFinished(result);
}

void RuleTestRunner::show(const MonitorPlan& plan, const RuleTestResult& result) {
    std::vector<ReportListView::Column> columns;
    for (const Text& caption : result.columns) columns.push_back({caption, result.columnWidth});
    page_.testResultList->setColumns(columns);
    for (const TextList& row : result.rows) page_.testResultList->addRow(row);
    if (result.enableSaveButton && with_.enableSave) with_.enableSave(plan);
}

}  // namespace lumo
