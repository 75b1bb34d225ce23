#pragma once

#include <QObject>
#include <QPointer>
#include <thread>

#include "base/MessagePresenter.h"
#include "gui/modules/ModulePageFetcher.h"
#include "gui/plans/SuggestionChooser.h"
#include "suggest/Suggestion.h"

class QAction;

namespace lumo {

class PlanEditor;
class PlanEditorPage;

// "从网页生成方案": fills the plan editor from a plan suggested for the address in `编辑框_网址`.
//
// The command sits inside `编辑框_网址` (an action at its end) and in its context menu, so no
// unit of the page moves. It fetches the page with the editor's cookie and user agent and works
// out the suggestions on a thread of its own, so the window stays responsive; the command is
// disabled meanwhile. Then a SuggestionChooser shows the candidates, best first, and the one the
// user picks fills the editor (PlanEditor::fillFromSuggestion); the user runs the rule test and
// saves as with any plan. A failure (no address, a blocked one, a fetch or status error, a page
// without a list) is one message box and changes nothing.
//
// The suggestion engine is the module lumo_plan_suggest, loaded at the first suggestion; without
// it (or with one of another build) the command says so in a message box and on stderr.
//
// Window thread only. Destroying the runner cuts a fetch under way short and waits for it.
class PlanSuggestionRunner : public QObject {
    Q_OBJECT
public:
    PlanSuggestionRunner(PlanEditorPage& page, PlanEditor& editor, MessagePresenter& messages,
                         FetchOptions fetchOptions = {}, QObject* parent = nullptr);
    ~PlanSuggestionRunner() override;

    // The command's trigger.
    void start();
    bool isRunning() const { return running_; }
    QAction* action() const { return action_; }
    // The box of candidates while it is open.
    SuggestionChooser* chooser() const { return chooser_; }

signals:
    // The suggestion has ended: the box of candidates is open, or a message was shown.
    void finished(const lumo::SuggestionResult& result);

private:
    // The module's entry point: PlanSuggester::suggest.
    using Suggest = void (*)(const Bytes& body, const SuggestionRequest& request,
                             SuggestionResult& result);

    struct Fetched {
        SuggestionResult result;
        Text failure;  // why the page could not be had (GBK), or empty
    };

    static Fetched fetchAndSuggest(const PageFetcher& fetcher, Suggest suggest,
                                   const SuggestionRequest& request, std::stop_token stop);
    // The module's entry point, loaded at the first call (window thread); null without it.
    Suggest suggestionEngine();
    void showContextMenu(const QPoint& at);
    void finish(const Fetched& fetched);
    void fail(const Text& message);

    PlanEditorPage& page_;
    PlanEditor& editor_;
    MessagePresenter& messages_;
    ModulePageFetcher fetcher_;
    QAction* action_ = nullptr;
    QPointer<SuggestionChooser> chooser_;
    bool running_ = false;
    Suggest suggest_ = nullptr;
    std::jthread work_;  // last: stopped and joined before the fetcher goes
};

}  // namespace lumo
