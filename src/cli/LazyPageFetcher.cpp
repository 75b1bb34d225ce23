#include "cli/LazyPageFetcher.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace lumo::cli {
namespace {

using CreateFetcher = PageFetcher* (*)(const FetchOptions&);
using Stamp = const char* (*)();

// The entry point of the module at `path` when it is of this build, else null with `reason` set.
// A loaded module stays loaded for the program's lifetime.
CreateFetcher openModule(const std::string& path, std::string& reason) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* error = dlerror();
        reason = error != nullptr ? error : path + ": cannot be loaded";
        return nullptr;
    }
    const auto stamp = reinterpret_cast<Stamp>(dlsym(module, "lumoModuleStamp"));
    const char* theirs = stamp != nullptr ? stamp() : nullptr;
    if (theirs == nullptr || std::strcmp(theirs, LUMO_MODULE_STAMP) != 0) {
        reason = path + " is not used: it was built " +
                 (theirs != nullptr ? "for " + std::string(theirs)
                                    : std::string("by an older Lumo (it has no build stamp)")) +
                 ", and this is " LUMO_MODULE_STAMP;
        return nullptr;
    }
    const auto create = reinterpret_cast<CreateFetcher>(dlsym(module, "lumoCreatePageFetcher"));
    if (create == nullptr) reason = path + ": no entry point lumoCreatePageFetcher";
    return create;
}

}  // namespace

LazyPageFetcher::LazyPageFetcher(std::string programDirectory) {
    const std::string folder = programDirectory.empty() ? std::string(".") : programDirectory;
    folders_ = {folder, folder + "/" LUMO_MODULES_FROM_BINDIR};
}

LazyPageFetcher::~LazyPageFetcher() = default;

std::unique_ptr<PageFetcher> LazyPageFetcher::load() const {
    std::string reasons;
    for (const std::string& folder : folders_) {
        std::string reason;
        if (const CreateFetcher create = openModule(folder + "/lumo_page_fetch.so", reason)) {
            return std::unique_ptr<PageFetcher>(create(FetchOptions{}));
        }
        reasons += (reasons.empty() ? "" : "; ") + reason;
    }
    std::fprintf(stderr,
                 "lumo-cli: no page can be fetched: the module lumo_page_fetch could not be "
                 "loaded (%s)\n",
                 reasons.c_str());
    return nullptr;
}

}  // namespace lumo::cli
