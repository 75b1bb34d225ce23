#pragma once

#include <QObject>
#include <memory>

#include "app/MessagePresenter.h"
#include "app/StatusLog.h"
#include "plans/gui/HelpPage.h"
#include "store/PlanDatabase.h"
#include "store/SqlRunner.h"
#include "web/PageFetcher.h"

namespace lumo {

class MainWindow;
class PlanEditor;
class PlanList;
class RuleTestRunner;
class TestEditBoxSink;

// Plan management on the window: the plan list with its menu commands, the plan editor and the
// rule test, wired to each other and to the window's controls. Window thread only.
class PlanManagement : public QObject {
    Q_OBJECT
public:
    struct Options {
        // Opens the pattern help page; the desktop's default browser when empty.
        HelpPage::Opener helpOpener;
        // Limits of the rule test's page fetch.
        FetchOptions fetch;
        // The connection the plan list reads through; `database` when null.
        PlanDatabase* listDatabase = nullptr;
    };

    PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql, StatusLog& log,
                   MessagePresenter& messages, QObject* parent = nullptr);
    PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql, StatusLog& log,
                   MessagePresenter& messages, Options options, QObject* parent = nullptr);
    ~PlanManagement() override;

    PlanList& planList() { return *planList_; }
    PlanEditor& editor() { return *editor_; }
    RuleTestRunner& ruleTest() { return *ruleTest_; }

private:
    // Destroyed in reverse order: the rule test, and its fetch thread, go first.
    std::unique_ptr<HelpPage> help_;
    std::unique_ptr<TestEditBoxSink> testEditBox_;
    std::unique_ptr<PlanList> planList_;
    std::unique_ptr<PlanEditor> editor_;
    std::unique_ptr<RuleTestRunner> ruleTest_;
};

}  // namespace lumo
