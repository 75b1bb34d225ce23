#include "winmodule/ModulePlatform.h"

#if defined(_WIN32) && !defined(_WIN64)
#include "winmodule/Win32ModulePlatform.h"
#else
#include "winmodule/PortableModulePlatform.h"
#endif

namespace lumo {

std::unique_ptr<ModulePlatform> ModulePlatform::createNative() {
#if defined(_WIN32) && !defined(_WIN64)
    return std::make_unique<Win32ModulePlatform>();
#else
    return std::make_unique<PortableModulePlatform>();
#endif
}

}  // namespace lumo
