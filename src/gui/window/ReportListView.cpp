#include "gui/window/ReportListView.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "gui/adapters/UiText.h"

namespace lumo {
namespace {

// Draws a cell without the keyboard focus frame: a report list highlights the whole row.
class WholeRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
    }
};

}  // namespace

ReportListView::ReportListView(bool gridLines, bool checkBoxes, QWidget* parent)
    : QTableWidget(parent), checkBoxes_(checkBoxes) {
    setShowGrid(gridLines);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new WholeRowDelegate(this));
    setWordWrap(false);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(18);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(0);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAlternatingRowColors(false);
    setStyleSheet(QStringLiteral("QTableWidget { background: white; color: black; }"));
}

void ReportListView::setColumns(const std::vector<Column>& columns) {
    clear();
    setRowCount(0);
    setColumnCount(static_cast<int>(columns.size()));
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        auto* header = new QTableWidgetItem(qtText(columns[static_cast<std::size_t>(c)].caption));
        header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setHorizontalHeaderItem(c, header);
        const int width = columns[static_cast<std::size_t>(c)].width;
        setColumnWidth(c, width);
        setColumnHidden(c, width <= 0);
    }
}

void ReportListView::clearRows() {
    setRowCount(0);
}

int ReportListView::addRow(const TextList& cells) {
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < columnCount(); ++c) {
        const auto index = static_cast<std::size_t>(c);
        auto* item = new QTableWidgetItem(index < cells.size() ? qtText(cells[index]) : QString());
        item->setData(Qt::UserRole,
                      QByteArray::fromStdString(index < cells.size() ? cells[index] : Text()));
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (c == 0 && checkBoxes_) {
            flags |= Qt::ItemIsUserCheckable;
            item->setCheckState(Qt::Unchecked);
        }
        item->setFlags(flags);
        setItem(row, c, item);
    }
    return row;
}

Text ReportListView::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) return Text();
    // The original GBK bytes are kept beside the shown text, so nothing is lost in a round trip.
    const QVariant raw = cell->data(Qt::UserRole);
    if (raw.isValid()) return raw.toByteArray().toStdString();
    return gbkText(cell->text());
}

TextList ReportListView::rowTexts(int row) const {
    TextList texts;
    if (row < 0 || row >= rowCount()) return texts;
    for (int c = 0; c < columnCount(); ++c) texts.push_back(cellText(row, c));
    return texts;
}

bool ReportListView::isRowChecked(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return checkBoxes_ && cell != nullptr && cell->checkState() == Qt::Checked;
}

std::vector<int> ReportListView::checkedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        if (isRowChecked(row)) rows.push_back(row);
    }
    return rows;
}

void ReportListView::setRowChecked(int row, bool checked) {
    QTableWidgetItem* cell = item(row, 0);
    if (!checkBoxes_ || cell == nullptr) return;
    cell->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int ReportListView::selectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) return -1;
    return ranges.first().topRow();
}

void ReportListView::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        // A right click selects the row under the cursor, as the desktop's list views do.
        const int row = rowAt(event->position().toPoint().y());
        if (row >= 0) selectRow(row);
    }
}

void ReportListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton) emit leftClicked(row);
    if (event->button() == Qt::RightButton)
        emit rightClicked(row, event->globalPosition().toPoint());
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked(rowAt(event->position().toPoint().y()));
}

}  // namespace lumo
