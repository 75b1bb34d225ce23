#pragma once

#include <QDialog>

#include "suggest/Suggestion.h"

class QListWidget;
class QLabel;

namespace lumo {

// The box that shows the plans suggested for a page, best first, each as its number of articles
// and first titles, with its pattern and markers under the pointer; the user picks one (the best
// is selected) or cancels. Window-modal and opened without waiting: chosen() tells the pick.
//
// Window thread only.
class SuggestionChooser : public QDialog {
    Q_OBJECT
public:
    SuggestionChooser(const std::vector<Suggestion>& suggestions, QWidget* parent);

    // The index of the suggestion picked, -1 when none is selected.
    int selectedIndex() const;
    QListWidget* list() const { return list_; }

    // Titles shown per suggestion.
    static constexpr int kTitlesShown = 3;

signals:
    void chosen(int index);

private:
    QListWidget* list_ = nullptr;
};

}  // namespace lumo
