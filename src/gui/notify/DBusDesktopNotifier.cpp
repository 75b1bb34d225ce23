#include "gui/notify/DBusDesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "articles/WebLink.h"
#include "gui/adapters/UiText.h"

namespace lumo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
const QString kShowAction = QStringLiteral("show");

QDBusMessage serviceCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DBusDesktopNotifier::DBusDesktopNotifier(std::function<QDBusConnection()> bus, Actions actions,
                                         QObject* parent)
    : QObject(parent), connectBus_(std::move(bus)), actions_(std::move(actions)) {}

void DBusDesktopNotifier::show(const DesktopNotice& notice) {
    if (!bus_.has_value()) bus_ = connectBus_();
    if (!bus_->isConnected()) {
        emit failed(QStringLiteral("no session bus"));
        return;
    }
    if (!listening_) {
        // From whichever name the service holds; the id tells whose notification it was.
        listening_ = bus_->connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"),
                                   this, SLOT(takeAction(uint, QString)));
    }
    if (markup_.has_value()) {
        send(notice);
        return;
    }
    if (waiting_.size() < kKeptNotifications) waiting_.push_back(notice);
    askCapabilities();
}

void DBusDesktopNotifier::askCapabilities() {
    if (asking_) return;
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_->asyncCall(serviceCall(QStringLiteral("GetCapabilities")), kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                asking_ = false;
                const QDBusPendingReply<QStringList> reply = *call;
                if (reply.isError()) {
                    // No service: what waited is dropped, and the next notice asks again.
                    waiting_.clear();
                    emit failed(reply.error().message());
                    return;
                }
                markup_ = reply.value().contains(QStringLiteral("body-markup"));
                std::deque<DesktopNotice> waiting;
                waiting.swap(waiting_);
                for (const DesktopNotice& notice : waiting) send(notice);
            });
}

QString DBusDesktopNotifier::bodyOf(const DesktopNotice& notice) const {
    QStringList lines;
    for (const Text& line : notice.bodyLines) {
        const QString text = qtText(line);
        lines.push_back(markup_.value_or(true) ? text.toHtmlEscaped() : text);
    }
    return lines.join(QLatin1Char('\n'));
}

void DBusDesktopNotifier::send(const DesktopNotice& notice) {
    const bool canOpen = webLinkToOpen(notice.link).has_value();
    const QStringList actions{kDefaultAction,
                              canOpen ? QStringLiteral("打开文章") : QStringLiteral("显示窗口"),
                              kShowAction, QStringLiteral("显示窗口")};
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.lumo.Lumo"));
    hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
    QDBusMessage call = serviceCall(QStringLiteral("Notify"));
    call << QStringLiteral("鲁莫监控") << uint(0) << QStringLiteral("org.lumo.Lumo")
         << qtText(notice.summary) << bodyOf(notice) << actions << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call, kCallTimeoutMs), this);
    const Text link = canOpen ? notice.link : Text();
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, link](QDBusPendingCallWatcher* pending) { sent(pending, link); });
}

void DBusDesktopNotifier::sent(QDBusPendingCallWatcher* call, const Text& link) {
    call->deleteLater();
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        emit failed(reply.error().message());
        return;
    }
    const uint id = reply.value();
    links_[id] = link;
    while (links_.size() > kKeptNotifications) links_.erase(links_.begin());
    emit shown(id);
}

void DBusDesktopNotifier::takeAction(uint id, const QString& action) {
    const auto known = links_.find(id);
    if (known == links_.end()) return;  // another program's notification
    const Text link = known->second;
    if (action == kDefaultAction && !link.empty()) {
        if (actions_.openLink) actions_.openLink(link);
    } else if (action == kDefaultAction || action == kShowAction) {
        if (actions_.showWindow) actions_.showWindow();
    }
}

}  // namespace lumo
