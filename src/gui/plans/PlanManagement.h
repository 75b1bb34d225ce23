#pragma once

#include <QObject>
#include <memory>

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "check/CutRegionSink.h"
#include "gui/plans/HelpPage.h"
#include "http/FetchRequest.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"

namespace lumo {

class MainWindow;
class PlanEditor;
class PlanList;
class RuleTestRunner;
class PlanSuggestionRunner;

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
        DatabaseConnection* listDatabase = nullptr;
    };

    // `cutRegion` shows the region a rule test cut out (the box `测试编辑框`); it is shared with
    // monitoring, which writes the same box.
    PlanManagement(MainWindow& window, DatabaseConnection& database, SqlRunner& sql, StatusLog& log,
                   MessagePresenter& messages, CutRegionSink& cutRegion, QObject* parent = nullptr);
    PlanManagement(MainWindow& window, DatabaseConnection& database, SqlRunner& sql, StatusLog& log,
                   MessagePresenter& messages, CutRegionSink& cutRegion, Options options,
                   QObject* parent = nullptr);
    ~PlanManagement() override;

    PlanList& planList() { return *planList_; }
    // Made with the editor's page; asking for them makes the page.
    PlanEditor& editor();
    RuleTestRunner& ruleTest();
    PlanSuggestionRunner& suggestion();

private:
    void attachEditorPage(StatusLog& log, MessagePresenter& messages, CutRegionSink& cutRegion,
                          DatabaseConnection& database, FetchOptions fetch);

    MainWindow& window_;
    // Destroyed in reverse order: the suggestion and the rule test, and their fetch threads, go
    // first.
    std::unique_ptr<HelpPage> help_;
    std::unique_ptr<PlanList> planList_;
    std::unique_ptr<PlanEditor> editor_;
    std::unique_ptr<RuleTestRunner> ruleTest_;
    std::unique_ptr<PlanSuggestionRunner> suggestion_;
};

}  // namespace lumo
