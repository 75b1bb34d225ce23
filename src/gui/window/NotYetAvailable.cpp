#include "gui/window/NotYetAvailable.h"

#include "base/GbkCodec.h"

namespace lumo {

void showNotYetAvailable(MessagePresenter& messages) {
    static const Text kText = gbk("此功能下个版本见!");
    messages.showMessage(kText, kDefaultCaption);
}

}  // namespace lumo
