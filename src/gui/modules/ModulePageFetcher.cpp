#include "gui/modules/ModulePageFetcher.h"

#include <QtGlobal>

namespace lumo {
namespace {

using CreateFetcher = PageFetcher* (*)(const FetchOptions&);

// A fetcher from the first of `folders` that holds the module; null when none does, after one
// warning on standard error that names each folder's reason.
std::unique_ptr<PageFetcher> loadModuleFetcher(const QStringList& folders,
                                               const FetchOptions& options) {
    QStringList reasons;
    const auto create = reinterpret_cast<CreateFetcher>(resolveModuleEntry(
        QStringLiteral("lumo_page_fetch"), "lumoCreatePageFetcher", folders, &reasons));
    if (create != nullptr) return std::unique_ptr<PageFetcher>(create(options));
    qWarning("lumo: no page can be fetched: the module lumo_page_fetch could not be loaded (%s)",
             qUtf8Printable(reasons.join(QStringLiteral("; "))));
    return nullptr;
}

}  // namespace

ModulePageFetcher::ModulePageFetcher(FetchOptions options, QStringList folders)
    : options_(std::move(options)), folders_(std::move(folders)) {}

ModulePageFetcher::~ModulePageFetcher() = default;

std::unique_ptr<PageFetcher> ModulePageFetcher::load() const {
    return loadModuleFetcher(folders_, options_);
}

}  // namespace lumo
