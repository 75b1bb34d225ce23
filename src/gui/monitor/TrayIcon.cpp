#include "gui/monitor/TrayIcon.h"

#include <QMenu>

namespace lumo {

TrayIcon::TrayIcon(QMenu* menu, QObject* parent)
    : QObject(parent),
      icon_(new QSystemTrayIcon(this)),
      normal_(QStringLiteral(":/icons/normal.ico")),
      alert_(QStringLiteral(":/icons/alert.ico")) {
    icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this, &TrayIcon::handleActivation);
}

TrayIcon::~TrayIcon() {
    icon_->hide();
}

void TrayIcon::show(TrayIconKind kind) {
    shown_ = kind;
    icon_->setIcon(kind == TrayIconKind::Alert ? alert_ : normal_);
    icon_->setToolTip(QStringLiteral("鲁莫监控"));
    if (!shownOnce_) {
        shownOnce_ = true;
        icon_->show();
    }
}

QString TrayIcon::toolTip() const {
    return icon_->toolTip();
}

QRect TrayIcon::geometry() const {
    return icon_->geometry();
}

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        emit restoreRequested();
    }
}

}  // namespace lumo
