// The report lists: a click highlights the whole row and frames no single cell.
#include "gui/window/ReportListView.h"

#include <QImage>
#include <QTest>

using lumo::ReportListView;

class ReportListViewTest : public QObject {
    Q_OBJECT

private slots:
    void aClickedRowIsHighlightedWholeWithoutACellFrame();
};

void ReportListViewTest::aClickedRowIsHighlightedWholeWithoutACellFrame() {
    for (const bool grid : {false, true}) {
        ReportListView list(grid, grid);
        list.resize(400, 120);
        list.setColumns({{"ID", 60}, {"标题", 200}, {"时间", 100}});
        for (int r = 0; r < 3; ++r) list.addRow({"1", "title", "2024-01-02"});
        list.show();
        QVERIFY(QTest::qWaitForWindowActive(&list));
        list.setFocus();
        QTRY_VERIFY(list.hasFocus());

        // The same row selected with the focus on its second, then its third cell: the row is
        // drawn the same whichever cell the keyboard stands on.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualRect(list.model()->index(1, 1)).center());
        QCOMPARE(list.selectedRow(), 1);
        const QImage onSecond = list.viewport()->grab().toImage();
        list.setCurrentIndex(list.model()->index(1, 2));
        QCOMPARE(list.selectedRow(), 1);
        const QImage onThird = list.viewport()->grab().toImage();
        QVERIFY(onSecond == onThird);
    }
}

QTEST_MAIN(ReportListViewTest)
#include "ReportListViewTest.moc"
