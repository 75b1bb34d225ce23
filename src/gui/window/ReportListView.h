#pragma once

#include <QTableWidget>
#include <vector>

#include "base/Text.h"

namespace lumo {

// A report-style list: a column header, single whole-row selection, optional grid lines and an
// optional check box at the start of every row. Cells hold GBK texts, shown converted.
//
// Window thread only.
class ReportListView : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        Text caption;
        int width = 0;  // pixels; 0 hides the column
    };

    ReportListView(bool gridLines, bool checkBoxes, QWidget* parent = nullptr);

    bool hasCheckBoxes() const { return checkBoxes_; }

    // Replaces every column (and drops the rows).
    void setColumns(const std::vector<Column>& columns);

    // Drops every row, keeps the columns.
    void clearRows();

    // Appends a row; texts beyond the column count are ignored, missing ones are empty.
    int addRow(const TextList& cells);

    Text cellText(int row, int column) const;

    // The GBK texts of a whole row, one per column.
    TextList rowTexts(int row) const;

    bool isRowChecked(int row) const;
    void setRowChecked(int row, bool checked);
    // The rows whose tick box is checked, in list order.
    std::vector<int> checkedRows() const;

    // The selected row, or -1.
    int selectedRow() const;

signals:
    // Mouse activity on the list: the row under the cursor (-1 for none) and the global position.
    void leftClicked(int row);
    void rightClicked(int row, const QPoint& globalPos);
    void doubleClicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool checkBoxes_;
};

}  // namespace lumo
