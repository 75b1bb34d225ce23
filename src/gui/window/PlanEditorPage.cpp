#include "gui/window/PlanEditorPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>

#include "gui/adapters/UiText.h"
#include "gui/window/Placement.h"
#include "gui/window/ReportListView.h"
#include "plans/PlanEditorRules.h"

namespace lumo {
namespace {
QLabel* label(QWidget* parent, const QString& name, int l, int t, int w, int h,
              const QString& text) {
    return placeControl<QLabel>(parent, name, l, t, w, h, text);
}

QLineEdit* textBox(QWidget* parent, const QString& name, int l, int t, int w, int h,
                   const QString& text = QString(), bool centred = false) {
    auto* box = placeControl<QLineEdit>(parent, name, l, t, w, h, text);
    if (centred) box->setAlignment(Qt::AlignCenter);
    return box;
}
}  // namespace

QString PlanEditorPage::hintStyleSheet() {
    return QStringLiteral(
        "body { font-size: 9pt; line-height: 22px; color: green; font-family: '宋体', Verdana; }"
        "p { font-size: 9pt; color: black; }"
        "a { color: red; text-decoration: none; }"
        "a:hover { color: blue; text-decoration: underline; }"
        "h1 { font-size: 16pt; } h2 { font-size: 14pt; } h3 { font-size: 12pt; }"
        "h4 { font-size: 10pt; } h5 { font-size: 9pt; } h6 { font-size: 8pt; }"
        "pre, code { font-family: 'Courier New', monospace; font-size: 9pt; }"
        "sub, sup { font-size: 7pt; } big { font-size: 11pt; } small { font-size: 8pt; }"
        ".comment { color: gray; }");
}

PlanEditorPage::PlanEditorPage(QWidget* parent) : QWidget(parent) {}

void PlanEditorPage::placeControls() {
    placeTestDisplay();
    planGroup = placeControl<QGroupBox>(this, QStringLiteral("分组框1"), 3, 21, 709, 259);
    placeNameAndIndexes(planGroup);
    placeAddressAndRegion(planGroup);
    placePattern(planGroup);
    placeCookieAndHint(planGroup);
    placeSaveGroup(planGroup);
    placeUserAgent(planGroup);
}

void PlanEditorPage::placeTestDisplay() {
    testResultList = placeControl<ReportListView>(this, QStringLiteral("测试列表框"), 7, 288, 400,
                                                  144, false, false);
    cutRegionBox =
        placeControl<QPlainTextEdit>(this, QStringLiteral("测试编辑框"), 412, 288, 296, 141);
    cutRegionBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cutRegionBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void PlanEditorPage::placeNameAndIndexes(QWidget* g) {
    label(g, QStringLiteral("标签2"), 10, 19, 56, 24, QStringLiteral("方案名称"));
    nameEdit = textBox(g, QStringLiteral("编辑框_站名"), 66, 22, 233, 20);
    gbkCheck = placeControl<QCheckBox>(g, QStringLiteral("gbk"), 308, 19, 65, 24,
                                       QStringLiteral("gbk编码"));
    gbkCheck->setChecked(true);
    label(g, QStringLiteral("标签7"), 387, 15, 52, 24, QStringLiteral("标题索引"));
    titleIndexEdit = textBox(g, QStringLiteral("tindex框"), 439, 18, 36, 20, QString(), true);
    makeIntegerInput(titleIndexEdit);
    label(g, QStringLiteral("标签11"), 491, 15, 52, 24, QStringLiteral("备用索引"));
    otherIndexEdit = textBox(g, QStringLiteral("oindex框"), 546, 18, 36, 20, QString(), true);
    makeIntegerInput(otherIndexEdit);
    label(g, QStringLiteral("标签10"), 597, 15, 62, 24, QStringLiteral("文章id索引"));
    idIndexEdit =
        textBox(g, QStringLiteral("uindex框"), 665, 18, 36, 20, QStringLiteral("0"), true);
    makeIntegerInput(idIndexEdit);
    idIndexEdit->setEnabled(false);
}

void PlanEditorPage::placeAddressAndRegion(QWidget* g) {
    label(g, QStringLiteral("标签3"), 10, 57, 48, 24, QStringLiteral("监控网址"));
    urlEdit = textBox(g, QStringLiteral("编辑框_网址"), 66, 60, 308, 20);
    label(g, QStringLiteral("标签1"), 387, 62, 48, 24, QStringLiteral("合成网址"));
    linkTemplateEdit =
        textBox(g, QStringLiteral("补全框"), 443, 64, 259, 20, QStringLiteral("[]"), true);

    label(g, QStringLiteral("标签4"), 10, 96, 48, 24, QStringLiteral("采集区域"));
    cutStartEdit = textBox(g, QStringLiteral("采集前"), 66, 98, 146, 20, QStringLiteral("<html"));
    label(g, QStringLiteral("标签12"), 217, 107, 8, 10, QStringLiteral("~"));
    cutEndEdit = textBox(g, QStringLiteral("采集后"), 228, 98, 146, 20, QStringLiteral("</html>"));
    label(g, QStringLiteral("标签15"), 387, 94, 48, 24, QStringLiteral("判断模式"));
    newestFirstRadio = placeControl<QRadioButton>(g, QStringLiteral("单选框1"), 443, 99, 72, 16,
                                                  QStringLiteral("时间倒序"));
    oldestFirstRadio = placeControl<QRadioButton>(g, QStringLiteral("单选框2"), 521, 99, 72, 16,
                                                  QStringLiteral("时间正序"));
    compareIdRadio = placeControl<QRadioButton>(g, QStringLiteral("单选框3"), 601, 99, 90, 16,
                                                QStringLiteral("比较文章ID"));
    auto* radios = new QButtonGroup(this);
    radios->addButton(newestFirstRadio);
    radios->addButton(oldestFirstRadio);
    radios->addButton(compareIdRadio);
    newestFirstRadio->setChecked(true);
}

void PlanEditorPage::placePattern(QWidget* g) {
    label(g, QStringLiteral("标签9"), 10, 133, 48, 24, QStringLiteral("正则匹配"));
    patternBox = placeControl<QComboBox>(g, QStringLiteral("正则框"), 66, 135, 633, 20);
    patternBox->setEditable(true);
    patternBox->setInsertPolicy(QComboBox::NoInsert);
    patternBox->addItem(
        QStringLiteral("*　必填，(\\d*)代表数字　(.*?)表示字符串　下面3个是DZ论坛常用规则"));
    patternBox->addItem(QStringLiteral(
        "<a href=\\\"(.*?)\\\".*?onclick=\\\"atarget\\(this\\)\\\" class=.*?xst\\\">(.*?)</a>"));
    patternBox->addItem(QStringLiteral(
        "<a href=\"(.*?)\" onclick=\\\"atarget\\(this\\)\\\" class=\\\"xst\\\" >(.*?)</a>"));
    patternBox->addItem(QStringLiteral(
        "<a href=\"(.*?)\" onclick=\\\"atarget\\(this\\)\\\" class=\\\".*?xst\\\" >(.*?)</a>"));
    patternBox->setCurrentIndex(-1);
    patternBox->setEditText(QString());
}

void PlanEditorPage::placeCookieAndHint(QWidget* g) {
    label(g, QStringLiteral("标签5"), 10, 180, 48, 24, QStringLiteral("COOKIE"));
    cookieEdit = placeControl<QPlainTextEdit>(g, QStringLiteral("cookie框"), 66, 173, 308, 40);
    cookieEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cookieEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    hintBrowser = placeControl<QTextBrowser>(g, QStringLiteral("测试提示"), 387, 180, 312, 18);
    hintBrowser->setFrameShape(QFrame::NoFrame);
    hintBrowser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hintBrowser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hintBrowser->setOpenLinks(false);
    hintBrowser->document()->setDocumentMargin(0);
    hintBrowser->document()->setDefaultStyleSheet(hintStyleSheet());
    hintBrowser->setHtml(qtText(initialEditorHint()));
}

void PlanEditorPage::placeSaveGroup(QWidget* g) {
    planIdGroup = placeControl<QGroupBox>(g, QStringLiteral("分组框2"), 387, 200, 314, 52);
    label(planIdGroup, QStringLiteral("标签8"), 12, 17, 40, 24, QStringLiteral("保存到"));
    planIdEdit = textBox(planIdGroup, QStringLiteral("项目编号框"), 55, 19, 48, 20,
                         QStringLiteral("0"), true);
    planIdEdit->setEnabled(false);
    saveButton = placeControl<QPushButton>(planIdGroup, QStringLiteral("按钮_保存配置"), 121, 13,
                                           80, 32, QStringLiteral("新建规则"));
    saveButton->setEnabled(false);
    testButton = placeControl<QPushButton>(planIdGroup, QStringLiteral("按钮_测试配置"), 216, 13,
                                           80, 32, QStringLiteral("规则测试"));
}

void PlanEditorPage::placeUserAgent(QWidget* g) {
    label(g, QStringLiteral("标签6"), 10, 228, 48, 24, QStringLiteral("浏览器UA"));
    userAgentEdit =
        textBox(g, QStringLiteral("ua框"), 66, 230, 308, 20,
                QStringLiteral("Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like "
                               "Gecko) Chrome/38.0.2125.122 Safari/537.36 SE 2.X MetaSr 1.0"));
    userAgentEdit->setCursorPosition(0);  // show the start of the agent, not its end
}

}  // namespace lumo
