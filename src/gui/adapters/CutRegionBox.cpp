#include "gui/adapters/CutRegionBox.h"

#include <QPlainTextEdit>
#include <QThread>
#include <utility>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "gui/adapters/UiText.h"

namespace lumo {
namespace {

constexpr std::size_t kLongWord = 1000;

// True when the text holds more than kLongWord bytes in a row without a blank or a line break.
bool hasLongWord(const Text& text) {
    std::size_t run = 0;
    for (const char c : text) {
        run = (c == ' ' || c == '\t' || c == '\r' || c == '\n') ? 0 : run + 1;
        if (run > kLongWord) return true;
    }
    return false;
}

}  // namespace

CutRegionBox::CutRegionBox(QPlainTextEdit* box, QObject* parent) : QObject(parent) {
    if (box != nullptr) attach(box);
}

void CutRegionBox::attach(QPlainTextEdit* box) {
    box_ = box;
    attached_ = true;
    if (!kept_.empty()) show(std::exchange(kept_, Text()));
}

Text CutRegionBox::shownPart(const Text& region) {
    if (region.size() <= kShownBytes) return region;
    // Whole characters only: a GBK lead byte (0x81 and up) takes its trail byte along.
    std::size_t end = 0;
    while (end < region.size()) {
        const std::size_t width = static_cast<unsigned char>(region[end]) >= 0x81 ? 2 : 1;
        if (end + width > kShownBytes) break;
        end += width;
    }
    return region.substr(0, end) + gbk("\r\n……（截取的区域共 ") + textOfInteger(region.size()) +
           gbk(" 字节，其余 ") + textOfInteger(region.size() - end) + gbk(" 字节未显示）");
}

void CutRegionBox::showCutRegion(const Text& text) {
    if (QThread::currentThread() == thread()) {
        show(shownPart(text));
    } else {
        QMetaObject::invokeMethod(
            this, [this, shown = shownPart(text)] { show(shown); }, Qt::QueuedConnection);
    }
}

void CutRegionBox::show(const Text& text) {
    if (!attached_) {
        kept_ = text;
    } else if (box_) {
        // Laying out a word wider than the box takes time that grows with the square of its
        // length at word boundaries; such a text is wrapped anywhere instead.
        box_->setWordWrapMode(hasLongWord(text) ? QTextOption::WrapAnywhere
                                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
        box_->setPlainText(qtText(text));
    }
}

}  // namespace lumo
