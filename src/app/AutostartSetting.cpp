#include "app/AutostartSetting.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "base/GbkCodec.h"
#include "gui/adapters/UiText.h"

namespace lumo {

AutostartSetting::AutostartSetting(QCheckBox* box, AutostartEntry entry, MessagePresenter& messages,
                                   std::function<QStringList()> command, QObject* parent)
    : QObject(parent),
      box_(box),
      entry_(std::move(entry)),
      messages_(messages),
      command_(std::move(command)) {
    box_->setChecked(entry_.exists());
    connect(box_, &QCheckBox::toggled, this, &AutostartSetting::onToggled);
}

void AutostartSetting::onToggled(bool on) {
    const Status changed = on ? entry_.write(command_()) : entry_.remove();
    if (changed.ok()) return;
    messages_.showMessage(gbk("无法更改登录时启动的设置：") + gbkText(entry_.path()) + "\r\n" +
                              utf8ToGbk(changed.reason()),
                          gbk("错误"));
    const QSignalBlocker quiet(box_);
    box_->setChecked(entry_.exists());
}

}  // namespace lumo
