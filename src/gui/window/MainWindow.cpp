#include "gui/window/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>

#include "articles/ArticleList.h"
#include "base/LumoVersion.h"
#include "gui/adapters/UiText.h"
#include "gui/window/LazyPage.h"
#include "gui/window/Placement.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/TabControl.h"
#include "gui/window/WelcomePage.h"
#include "gui/window/WindowMenus.h"

namespace lumo {
namespace {

ReportListView* placeList(QWidget& page, const QString& name, int left, bool grid, bool checks,
                          const std::vector<ReportListView::Column>& columns) {
    auto* list = placeControl<ReportListView>(&page, name, left, 21, 714, 388, grid, checks);
    list->setColumns(columns);
    return list;
}

ReportListView::Column col(const char* utf8Caption, int width) {
    return ReportListView::Column{gbkText(QString::fromUtf8(utf8Caption)), width};
}

// An article list's columns as the description that maps its rows gives them, so headers and
// cells agree.
std::vector<ReportListView::Column> articleColumns(const ArticleList& content) {
    std::vector<ReportListView::Column> columns;
    for (const ArticleList::Column& column : content.columns())
        columns.push_back({column.caption, column.width});
    return columns;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(qtText(lumoTitle()));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    placeTopRow();
    placePages();
    placeStatusBox();
    // The top row overlaps the tab control's upper edge; keep it above so all of it takes clicks.
    frequencyLabel->raise();
    frequencyEdit->raise();
    autoMonitorCheck->raise();
    runButton->raise();
    menus = std::make_unique<WindowMenus>(this);
    connect(tabs, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
}

// The monitoring row: the frequency (shown with 自动监控), 自动监控 and 运行.
void MainWindow::placeTopRow() {
    frequencyLabel = placeControl<QLabel>(this, QStringLiteral("标签13"), 443, 4, 53, 28,
                                          QStringLiteral("监控频率"));
    frequencyLabel->setVisible(false);
    frequencyEdit = placeControl<QLineEdit>(this, QStringLiteral("频率框"), 498, 7, 48, 22,
                                            QStringLiteral("300"));
    frequencyEdit->setAlignment(Qt::AlignCenter);
    frequencyEdit->setVisible(false);
    autoMonitorCheck = placeControl<QCheckBox>(this, QStringLiteral("自动监控框"), 556, 6, 72, 24,
                                               QStringLiteral("自动监控"));
    runButton = placeControl<QPushButton>(this, QStringLiteral("运行"), 628, 5, 80, 26,
                                          QStringLiteral("开 始"));
}

// The tab control and its six pages, the welcome page first.
void MainWindow::placePages() {
    tabs = placeControl<TabControl>(this, QStringLiteral("选择夹"), 2, 16, 714, 440);
    tabs->tabBar()->setExpanding(false);
    tabs->setUsesScrollButtons(false);
    // The skin keeps the tab strip as low as the desktop's classic one (at most 20 pixels), so
    // the pages' controls at y = 20 clear it.

    welcomePage = new WelcomePage;
    tabs->addTab(welcomePage, QStringLiteral("欢迎使用"));
    addListPage(LatestArticlesTab, QStringLiteral("最新文章"), latestList_, [](QWidget& page) {
        return placeList(page, QStringLiteral("文章列表框"), 0, true, false,
                         articleColumns(ArticleList::latest()));
    });
    addListPage(PlansTab, QStringLiteral("监控方案"), planList_, [](QWidget& page) {
        return placeList(
            page, QStringLiteral("项目列表框"), 0, true, true,
            {col("项目ID", 50), col("方案名", 120), col("编码", 50), col("监控网址", 100),
             col("采集前", 50), col("采集后", 50), col("正则", 50), col("补全网址", 50),
             col("COOKIE", 50), col("UA", 50), col("最新文章", 350), col("更新时间", 80)});
    });
    addListPage(FavouritesTab, QStringLiteral("我的收藏"), favouritesList_, [](QWidget& page) {
        return placeList(page, QStringLiteral("收藏列表框"), 2, false, false,
                         articleColumns(ArticleList::favourites()));
    });
    editorPage_ = new PlanEditorPage;
    tabs->addTab(editorPage_, QStringLiteral("方案操作"));
    lazyPages_[EditorTab] =
        std::make_unique<LazyPage>(editorPage_, [this](QWidget&) { editorPage_->placeControls(); });
    settingsPage_ = new SettingsPage;
    tabs->addTab(settingsPage_, QStringLiteral("高级设置"));
    lazyPages_[SettingsTab] = std::make_unique<LazyPage>(
        settingsPage_, [this](QWidget&) { settingsPage_->placeControls(); });
    tabs->setCurrentIndex(WelcomeTab);
}

// The status box below the lists; hidden until a list page shows.
void MainWindow::placeStatusBox() {
    statusBox = placeControl<QPlainTextEdit>(this, QStringLiteral("状态"), 2, 427, 714, 30);
    statusBox->setReadOnly(true);
    statusBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statusBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statusBox->setPlainText(QStringLiteral(
        "欢迎使用“鲁莫网站更新监控工具”，本工具原名“网站更新提醒助手”，由鲁莫工作室制作。"));
    statusBox->setVisible(false);
    statusBox->raise();
}

// A list page: its tab holds an empty page until the list is first needed.
void MainWindow::addListPage(Tab tab, const QString& caption, ReportListView*& list,
                             std::function<ReportListView*(QWidget&)> makeList) {
    auto* holder = new QWidget;
    tabs->addTab(holder, caption);
    lazyPages_[tab] = std::make_unique<LazyPage>(
        holder, [&list, makeList = std::move(makeList)](QWidget& p) { list = makeList(p); });
}

MainWindow::~MainWindow() = default;

ReportListView* MainWindow::builtList(Tab tab, ReportListView* const& list) {
    lazyPages_.at(tab)->build();
    return list;
}

ReportListView* MainWindow::latestListView() {
    return builtList(LatestArticlesTab, latestList_);
}

ReportListView* MainWindow::planListView() {
    return builtList(PlansTab, planList_);
}

ReportListView* MainWindow::favouritesListView() {
    return builtList(FavouritesTab, favouritesList_);
}

PlanEditorPage* MainWindow::editorPage() {
    lazyPages_.at(EditorTab)->build();
    return editorPage_;
}

SettingsPage* MainWindow::settingsPage() {
    lazyPages_.at(SettingsTab)->build();
    return settingsPage_;
}

bool MainWindow::isPageBuilt(Tab tab) const {
    const auto lazy = lazyPages_.find(tab);
    return lazy == lazyPages_.end() || lazy->second->isBuilt();
}

void MainWindow::whenPageBuilt(Tab tab, QObject* receiver, std::function<void()> hook) {
    const auto lazy = lazyPages_.find(tab);
    if (lazy == lazyPages_.end()) {
        hook();
        return;
    }
    lazy->second->whenBuilt([receiver = QPointer<QObject>(receiver), hook = std::move(hook)] {
        if (receiver) hook();
    });
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
}

bool MainWindow::pageShowsStatusLog(int tab) {
    return tab == LatestArticlesTab || tab == PlansTab || tab == FavouritesTab;
}

void MainWindow::onPageChanged(int tab) {
    const auto lazy = lazyPages_.find(tab);
    if (lazy != lazyPages_.end()) lazy->second->build();
    statusBox->setVisible(pageShowsStatusLog(tab));
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) emit minimised();
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A close request is never refused.
    emit closing();
    event->accept();
}

}  // namespace lumo
