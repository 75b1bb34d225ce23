#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

namespace lumo {

// Page "欢迎使用": the welcome view with the page shipped with the program, and the welcome label
// that covers it until the view reports its document loaded.
class WelcomePage : public QWidget {
    Q_OBJECT
public:
    explicit WelcomePage(QWidget* parent = nullptr);

    // Opens the shipped welcome page; each completed load collapses the welcome label.
    void openWelcomePage();

    QLabel* welcomeLabel = nullptr;
    QTextBrowser* welcomeBrowser = nullptr;

private:
    void onDocumentLoaded();
};

}  // namespace lumo
