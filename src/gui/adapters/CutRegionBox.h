#pragma once

#include <QObject>
#include <QPointer>
#include <cstddef>

#include "base/Text.h"
#include "check/CutRegionSink.h"

class QPlainTextEdit;

namespace lumo {

// The region a plan run cut out, shown in the plan editor's box `测试编辑框`. Callable from any
// thread: a worker's text is handed to the window thread, in order. The window makes the editor's
// page when it is first needed: until the box is attached, the latest region is kept and shown
// when it is, so a check never makes the page for its region alone.
class CutRegionBox : public QObject, public CutRegionSink {
    Q_OBJECT
public:
    explicit CutRegionBox(QPlainTextEdit* box = nullptr, QObject* parent = nullptr);

    // The box to show regions in from now on; it shows the region kept for it at once. Window
    // thread only.
    void attach(QPlainTextEdit* box);

    void showCutRegion(const Text& text) override;

    // The most of a region the box shows.
    static constexpr std::size_t kShownBytes = 256 * 1024;

    // What the box shows of `region`: all of it, or its start and the line about the rest.
    static Text shownPart(const Text& region);

private:
    void show(const Text& text);

    QPointer<QPlainTextEdit> box_;
    bool attached_ = false;
    Text kept_;  // the latest region, while no box is attached
};

}  // namespace lumo
