#pragma once

#include <QTabWidget>

namespace lumo {

// A tab widget whose pages cover the whole widget, tab strip included, so that a control placed
// at (x, y) on a page sits at (x, y) of the tab control itself, as the window's fixed layout
// expects. The tab strip stays on top of the pages.
class TabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void tabInserted(int index) override;

private:
    void coverWithPages();
};

}  // namespace lumo
