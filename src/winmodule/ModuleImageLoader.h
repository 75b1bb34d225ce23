#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/Text.h"
#include "winmodule/ModulePlatform.h"

namespace lumo {

// Maps a 32-bit Windows DLL held in memory into the running process, without a file: lays out
// its sections, applies its base relocations, resolves its imports through the system loader,
// runs its entry point, and finds its exported functions by name.
//
// A load either succeeds completely or leaves nothing mapped: every read of the image and of
// the mapping is checked against its length, and an image whose contents do not fit together is
// refused. Libraries pulled in by the imports stay loaded, also after a failed load.
//
// Destroying the loader does not unmap the image: it stays in the process until the process
// ends, and its entry point is not called again.
//
// Thread-safety: none; one thread uses an instance.
class ModuleImageLoader {
public:
    // Uses the platform of the running system (see ModulePlatform::createNative).
    ModuleImageLoader();
    // Uses `platform`, which must outlive the loader.
    explicit ModuleImageLoader(ModulePlatform& platform);
    ~ModuleImageLoader();

    ModuleImageLoader(const ModuleImageLoader&) = delete;
    ModuleImageLoader& operator=(const ModuleImageLoader&) = delete;

    // Maps `image` and keeps its base. True when the image is now loaded; on false nothing of
    // this image stays allocated. An instance holds one image: once one is loaded, further calls
    // are refused with false and leave it in place.
    bool loadImage(const Bytes& image);

    // The address of the exported function called `name` (exact bytes, case included) in the
    // loaded image, or 0 when there is no such export or no image is loaded.
    std::uintptr_t findExport(const Text& name) const;

    // Where the image is mapped; 0 while nothing is loaded.
    std::uintptr_t base() const { return base_; }
    // The length of the mapping; 0 while nothing is loaded.
    std::size_t mappedSize() const { return size_; }

private:
    std::unique_ptr<ModulePlatform> ownPlatform_;
    ModulePlatform& platform_;
    std::uintptr_t base_ = 0;
    std::size_t size_ = 0;
};

}  // namespace lumo
