#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lumo {

class LazyPage;
class PlanEditorPage;
class ReportListView;
class SettingsPage;
class TabControl;
class WelcomePage;
struct WindowMenus;

// The one window: the monitoring row at the top, the tab control with its six pages, the status
// box at the bottom and the four popup menus, in their fixed places. It owns the layout and the
// rule of when the status box shows; the features (plan editor, lists, monitoring, tray) attach
// their behaviour to the controls it exposes.
//
// The pages but the welcome page make their controls the first time the page shows or they are
// asked for (LazyPage): a feature attaches to them in a whenPageBuilt() hook.
// Window thread only.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The six pages, each by its index in the tab control: the one number a page goes by, as
    // tabs->currentIndex() gives it and as the pages made lazily are known.
    enum Tab { WelcomeTab = 0, LatestArticlesTab, PlansTab, FavouritesTab, EditorTab, SettingsTab };

    // The client area that gives the fixed 723 x 508 outer size with a single border and caption.
    static constexpr int kClientWidth = 717;
    static constexpr int kClientHeight = 480;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Centres the window on its screen.
    void centreOnScreen();

    // The status box shows only on the latest-articles, plans and favourites pages.
    static bool pageShowsStatusLog(int tab);

    // The lists of the list pages, made first if they are not there yet.
    ReportListView* latestListView();
    ReportListView* planListView();
    ReportListView* favouritesListView();
    // The plan editor's page, its units made first if they are not there yet.
    PlanEditorPage* editorPage();
    // The settings page, its controls made first if they are not there yet.
    SettingsPage* settingsPage();

    // Whether a page's controls are there; pages that are not made lazily always are.
    bool isPageBuilt(Tab tab) const;
    // Runs `hook` once the page's controls are there: at once when they already are. Like a
    // connection, the hook is dropped when `receiver` is gone by then.
    void whenPageBuilt(Tab tab, QObject* receiver, std::function<void()> hook);

    QLabel* frequencyLabel = nullptr;
    QLineEdit* frequencyEdit = nullptr;
    QCheckBox* autoMonitorCheck = nullptr;
    QPushButton* runButton = nullptr;
    TabControl* tabs = nullptr;
    QPlainTextEdit* statusBox = nullptr;

    WelcomePage* welcomePage = nullptr;
    std::unique_ptr<WindowMenus> menus;

signals:
    // The window's own events, for the features that handle them.
    void minimised();
    void activated();
    void closing();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeTopRow();
    void placePages();
    void placeStatusBox();
    void addListPage(Tab tab, const QString& caption, ReportListView*& list,
                     std::function<ReportListView*(QWidget&)> makeList);
    ReportListView* builtList(Tab tab, ReportListView* const& list);
    void onPageChanged(int tab);

    ReportListView* latestList_ = nullptr;
    ReportListView* planList_ = nullptr;
    ReportListView* favouritesList_ = nullptr;
    PlanEditorPage* editorPage_ = nullptr;
    SettingsPage* settingsPage_ = nullptr;
    std::map<int, std::unique_ptr<LazyPage>> lazyPages_;
};

}  // namespace lumo
