#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "app/LumoApplication.h"
#include "gui/skin/EmbeddedSkin.h"
#include "gui/skin/StyleSheetSkin.h"
#include "gui/window/MainWindow.h"
#include "gui/window/TabControl.h"
#include "skin/SkinColours.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"

namespace {

// The window as the program shows it: started with a database, skin attached, shown.
struct StartedWindow {
    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::LumoApplication app{{QString::fromStdString(temp.directory()), &messages}};

    StartedWindow() { app.start(); }
    lumo::MainWindow& window() { return app.window(); }
};

QColor colourOf(lumo::RgbColour rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
}

// A point of the run button's face, clear of its border, rounded corners and caption.
QColor runButtonFace(lumo::MainWindow& window) {
    const QImage image = window.runButton->grab().toImage();
    return image.pixelColor(5, image.height() / 2);
}

}  // namespace

class SkinLookTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void startUpAttachesOurSkinUnshifted();
    void tabStripLeavesThePagesFree();
    void everyControlHasRoomForItsText();
    void hueShiftRecoloursTheWindow();
};

void SkinLookTest::startUpAttachesOurSkinUnshifted() {
    QVERIFY(qApp->styleSheet().isEmpty());
    StartedWindow started;
    const lumo::Bytes skin = lumo::embeddedSkinData();
    QVERIFY(skin.size() > 1000);
    // No engine is carried, so our own skin takes the embedded data with hue, saturation and
    // brightness 0: the sheet exactly as shipped.
    QCOMPARE(qApp->styleSheet(), QString::fromUtf8(skin.data(), qsizetype(skin.size())));
    QVERIFY(started.messages.messages().empty());
}

void SkinLookTest::tabStripLeavesThePagesFree() {
    StartedWindow started;
    lumo::MainWindow& window = started.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int page = 0; page < window.tabs->count(); ++page) {
        window.tabs->setCurrentIndex(page);
        QTabBar* strip = window.tabs->tabBar();
        QCOMPARE(strip->y(), 0);
        // The pages' first controls sit at y = 20 of the tab control.
        QVERIFY2(strip->height() <= 20, qPrintable(QString::number(strip->height())));
        QVERIFY(strip->tabRect(page).bottom() < 20);
    }
}

void SkinLookTest::everyControlHasRoomForItsText() {
    StartedWindow started;
    lumo::MainWindow& window = started.window();
    window.autoMonitorCheck->setChecked(true);  // shows the frequency box too
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int checked = 0;
    for (int page = 0; page < window.tabs->count(); ++page) {
        window.tabs->setCurrentIndex(page);
        for (QWidget* control : window.findChildren<QWidget*>()) {
            if (!control->isVisible() || control->objectName().isEmpty()) continue;
            if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QAbstractButton*>(control) &&
                !qobject_cast<QComboBox*>(control))
                continue;
            // The skin's borders and paddings leave the fixed height enough for a line of text.
            QVERIFY2(control->minimumSizeHint().height() <= control->height(),
                     qPrintable(QStringLiteral("%1 needs %2 of %3")
                                    .arg(control->objectName())
                                    .arg(control->minimumSizeHint().height())
                                    .arg(control->height())));
            ++checked;
        }
        for (QLabel* label : window.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(needed <= label->width(), qPrintable(QStringLiteral("%1 needs %2 of %3")
                                                              .arg(label->objectName())
                                                              .arg(needed)
                                                              .arg(label->width())));
        }
    }
    QVERIFY(checked > 30);
}

void SkinLookTest::hueShiftRecoloursTheWindow() {
    StartedWindow started;
    lumo::MainWindow& window = started.window();
    const lumo::RgbColour accent{0x13, 0x80, 0x8d};
    const QColor plain = runButtonFace(window);
    QVERIFY2(near(plain, colourOf(accent)), qPrintable(plain.name()));

    lumo::StyleSheetSkin skin(*qApp);
    const lumo::Bytes data = lumo::embeddedSkinData();
    skin.applySkin(data, std::nullopt, 120, 0, 0);
    const QColor turned = runButtonFace(window);
    QVERIFY2(near(turned, colourOf(lumo::shiftColour(accent, {120, 0, 0}))),
             qPrintable(turned.name()));
    QVERIFY(!near(turned, plain));

    skin.applySkin(data, std::nullopt, 0, -100, 0);
    const QColor grey = runButtonFace(window);
    QCOMPARE(grey.red(), grey.green());
    QCOMPARE(grey.green(), grey.blue());

    skin.applySkin(data, std::nullopt, 0, 0, 0);
    QVERIFY(near(runButtonFace(window), plain));
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The program's dialog font, as start-up chooses it.
    if (QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei")))
        application.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
    SkinLookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SkinLookTest.moc"
