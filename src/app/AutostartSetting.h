#pragma once

#include <QObject>
#include <functional>

#include "app/AutostartEntry.h"
#include "base/MessagePresenter.h"

class QCheckBox;

namespace lumo {

// The box "登录桌面时自动启动…" on page "高级设置": ticked while the autostart entry exists;
// ticking it writes the entry, unticking removes it. An entry that cannot be written or removed
// is said in a box and the box goes back to what is true.
//
// Window thread only.
class AutostartSetting : public QObject {
    Q_OBJECT
public:
    // `command` gives the program and its arguments for the entry when the box is ticked.
    AutostartSetting(QCheckBox* box, AutostartEntry entry, MessagePresenter& messages,
                     std::function<QStringList()> command, QObject* parent = nullptr);

private:
    void onToggled(bool on);

    QCheckBox* box_;
    AutostartEntry entry_;
    MessagePresenter& messages_;
    std::function<QStringList()> command_;
};

}  // namespace lumo
