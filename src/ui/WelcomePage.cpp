#include "ui/WelcomePage.h"

#include <QLabel>
#include <QTextBrowser>
#include <QUrl>

#include "ui/Placement.h"

namespace lumo {

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
    超文本浏览框1 =
        placeControl<QTextBrowser>(this, QStringLiteral("超文本浏览框1"), -2, 20, 735, 416);
    超文本浏览框1->setOpenLinks(false);
    标签14 = placeControl<QLabel>(this, QStringLiteral("标签14"), -2, 20, 735, 416,
                                  QStringLiteral("欢迎使用，鲁莫网站更新提醒工具由鲁莫工作室制作"));
    标签14->setAlignment(Qt::AlignCenter);
    标签14->setAutoFillBackground(true);
    标签14->raise();
    connect(超文本浏览框1, &QTextBrowser::sourceChanged, this, &WelcomePage::onDocumentLoaded);
}

void WelcomePage::openWelcomePage() {
    超文本浏览框1->setSource(QUrl(QStringLiteral("qrc:/html/welcome.html")));
}

void WelcomePage::onDocumentLoaded() {
    标签14->setText(QString());
    标签14->resize(标签14->width(), 2);
}

}  // namespace lumo
