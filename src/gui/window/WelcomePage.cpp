#include "gui/window/WelcomePage.h"

#include <QLabel>
#include <QTextBrowser>
#include <QUrl>

#include "gui/window/Placement.h"

namespace lumo {

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
    welcomeBrowser =
        placeControl<QTextBrowser>(this, QStringLiteral("超文本浏览框1"), -2, 20, 735, 416);
    welcomeBrowser->setOpenLinks(false);
    welcomeLabel =
        placeControl<QLabel>(this, QStringLiteral("标签14"), -2, 20, 735, 416,
                             QStringLiteral("欢迎使用，鲁莫网站更新提醒工具由鲁莫工作室制作"));
    welcomeLabel->setAlignment(Qt::AlignCenter);
    welcomeLabel->setAutoFillBackground(true);
    welcomeLabel->raise();
    connect(welcomeBrowser, &QTextBrowser::sourceChanged, this, &WelcomePage::onDocumentLoaded);
}

void WelcomePage::openWelcomePage() {
    welcomeBrowser->setSource(QUrl(QStringLiteral("qrc:/html/welcome.html")));
}

void WelcomePage::onDocumentLoaded() {
    welcomeLabel->setText(QString());
    welcomeLabel->resize(welcomeLabel->width(), 2);
}

}  // namespace lumo
