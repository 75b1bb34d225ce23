#include "gui/monitor/ModuleDesktopNotifier.h"

#include "gui/modules/ModuleFolders.h"

namespace lumo {

ModuleDesktopNotifier::ModuleDesktopNotifier(QStringList folders,
                                             std::function<void(const Text&)> openLink,
                                             std::function<void()> showWindow)
    : folders_(std::move(folders)),
      openLink_(std::move(openLink)),
      showWindow_(std::move(showWindow)) {}

ModuleDesktopNotifier::~ModuleDesktopNotifier() = default;

void ModuleDesktopNotifier::show(const DesktopNotice& notice) {
    if (missing_) return;
    if (desktop_ == nullptr) {
        using Create = DesktopNotifier* (*)(const std::function<void(const Text&)>&,
                                            const std::function<void()>&);
        QStringList reasons;
        const auto create = reinterpret_cast<Create>(
            resolveModuleEntry(QStringLiteral("lumo_desktop_notify"), "lumoCreateDesktopNotifier",
                               folders_, &reasons));
        if (create == nullptr) {
            missing_ = true;
            qWarning(
                "lumo: no desktop notifications: the module lumo_desktop_notify could not be "
                "loaded (%s)",
                qUtf8Printable(reasons.join(QStringLiteral("; "))));
            return;
        }
        desktop_.reset(create(openLink_, showWindow_));
    }
    desktop_->show(notice);
}

}  // namespace lumo
