#pragma once

#include <QObject>
#include <functional>
#include <thread>
#include <vector>

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "check/CutRegionSink.h"
#include "check/MonitorPlan.h"
#include "check/MonitorState.h"
#include "check/RuleTestResult.h"
#include "gui/modules/ModulePageFetcher.h"
#include "gui/plans/HeldMessages.h"
#include "store/SqlRunner.h"

namespace lumo {

class PlanEditorPage;

// The button "规则测试" (`按钮_测试配置`): tests the plan as the editor's units stand against the
// live page and shows the outcome on the editor page.
//
// An address holding the blocked-site marker only gets its message. Otherwise the button is
// disabled and the page is fetched, cut and matched (RuleTest) on a thread of
// the test's own, so the window stays responsive; `测试编辑框` receives the cut text. Then the
// window thread clears `测试列表框`, shows the rule test's messages through the message
// presenter, gives the list the columns "索引 0" to "索引 G-1" (80 pixels) and a row per match,
// and tells the editor which plan matched: it enables saving only while it still holds what was
// tested. The button comes back at the end.
//
// Window thread only. Destroying the runner cuts a fetch or a search under way short and waits
// for it.
class RuleTestRunner : public QObject {
    Q_OBJECT
public:
    struct Collaborators {
        std::function<MonitorPlan()> currentPlan;            // the editor's units as they stand
        std::function<void(const MonitorPlan&)> enableSave;  // a test of this plan matched
        StatusLog* log = nullptr;
        MessagePresenter* messages = nullptr;
        CutRegionSink* cutRegion = nullptr;  // `测试编辑框`
    };

    RuleTestRunner(PlanEditorPage& page, Collaborators collaborators,
                   FetchOptions fetchOptions = {}, QObject* parent = nullptr);
    ~RuleTestRunner() override;

    // The button's click.
    void startTest();

    // A fetch is under way (the button is disabled meanwhile).
    bool isRunning() const { return running_; }

signals:
    // The test has ended and its outcome is on the page (also for a blocked address).
    void testFinished(const lumo::RuleTestResult& result);

private:
    void finishTest(const MonitorPlan& plan, const RuleTestResult& result,
                    const std::vector<HeldMessages::Message>& messages);
    void show(const MonitorPlan& plan, const RuleTestResult& result);

    PlanEditorPage& page_;
    Collaborators with_;
    ModulePageFetcher fetcher_;
    bool running_ = false;
    bool refocusButton_ = false;
    std::jthread fetch_;  // last: stopped and joined before the fetcher goes
};

}  // namespace lumo
