#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>

#include "ui/Placement.h"
#include "ui/PlanEditorPage.h"
#include "ui/ReportListView.h"
#include "ui/SettingsPage.h"
#include "ui/TabControl.h"
#include "ui/UiText.h"
#include "ui/WelcomePage.h"
#include "ui/WindowMenus.h"

namespace lumo {
namespace {

ReportListView* listPage(TabControl* tabs, const QString& caption, const QString& name, int left,
                         bool grid, bool checks,
                         const std::vector<ReportListView::Column>& columns) {
    auto* page = new QWidget;
    auto* list = placeControl<ReportListView>(page, name, left, 21, 714, 388, grid, checks);
    list->setColumns(columns);
    tabs->addTab(page, caption);
    return list;
}

ReportListView::Column col(const char* utf8Caption, int width) {
    return ReportListView::Column{gbkText(QString::fromUtf8(utf8Caption)), width};
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("鲁莫网站更新提醒工具 v1.1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);

    标签13 = placeControl<QLabel>(this, QStringLiteral("标签13"), 443, 4, 53, 28,
                                  QStringLiteral("监控频率"));
    标签13->setVisible(false);
    频率框 = placeControl<QLineEdit>(this, QStringLiteral("频率框"), 498, 7, 48, 22,
                                     QStringLiteral("300"));
    频率框->setAlignment(Qt::AlignCenter);
    频率框->setVisible(false);
    自动监控框 = placeControl<QCheckBox>(this, QStringLiteral("自动监控框"), 556, 6, 72, 24,
                                         QStringLiteral("自动监控"));
    运行 = placeControl<QPushButton>(this, QStringLiteral("运行"), 628, 5, 80, 26,
                                     QStringLiteral("开 始"));

    选择夹 = placeControl<TabControl>(this, QStringLiteral("选择夹"), 2, 16, 714, 440);
    选择夹->tabBar()->setExpanding(false);
    选择夹->setUsesScrollButtons(false);
    // The skin keeps the tab strip as low as the desktop's classic one (at most 20 pixels), so
    // the pages' controls at y = 20 clear it.

    welcomePage = new WelcomePage;
    选择夹->addTab(welcomePage, QStringLiteral("欢迎使用"));
    文章列表框 =
        listPage(选择夹, QStringLiteral("最新文章"), QStringLiteral("文章列表框"), 0, true, false,
                 {col("id", 40), col("站点", 100), col("帖子标题", 250), col("链接", 100),
                  col("更新时间", 120), col("状态", 0), col("备用", 80)});
    项目列表框 =
        listPage(选择夹, QStringLiteral("监控方案"), QStringLiteral("项目列表框"), 0, true, true,
                 {col("项目ID", 50), col("方案名", 120), col("编码", 50), col("监控网址", 100),
                  col("采集前", 50), col("采集后", 50), col("正则", 50), col("补全网址", 50),
                  col("COOKIE", 50), col("UA", 50), col("最新文章", 350), col("更新时间", 80)});
    收藏列表框 =
        listPage(选择夹, QStringLiteral("我的收藏"), QStringLiteral("收藏列表框"), 2, false, false,
                 {col("id", 40), col("站点", 120), col("帖子标题", 350), col("链接", 100),
                  col("更新时间", 80), col("状态", 50)});
    editorPage = new PlanEditorPage;
    选择夹->addTab(editorPage, QStringLiteral("方案操作"));
    settingsPage = new SettingsPage;
    选择夹->addTab(settingsPage, QStringLiteral("高级设置"));
    选择夹->setCurrentIndex(WelcomePageIndex);

    状态 = placeControl<QPlainTextEdit>(this, QStringLiteral("状态"), 2, 427, 714, 30);
    状态->setReadOnly(true);
    状态->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    状态->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    状态->setPlainText(QStringLiteral(
        "欢迎使用“鲁莫网站更新监控工具”，本工具原名“网站更新提醒助手”，由鲁莫工作室制作。"));
    状态->setVisible(false);
    状态->raise();

    // The top row overlaps the tab control's upper edge; keep it above so all of it takes clicks.
    标签13->raise();
    频率框->raise();
    自动监控框->raise();
    运行->raise();

    menus = std::make_unique<WindowMenus>(this);

    connect(选择夹, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
}

MainWindow::~MainWindow() = default;

void MainWindow::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
}

bool MainWindow::pageShowsStatusLog(int page) {
    return page == LatestArticlesPage || page == PlansPage || page == FavouritesPage;
}

void MainWindow::onPageChanged(int page) {
    状态->setVisible(pageShowsStatusLog(page));
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
