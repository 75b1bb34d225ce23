#include "skin/NativeSkinEngineCaller.h"

namespace lumo {

std::unique_ptr<SkinEngineCaller> SkinEngineCaller::createNative() {
    return std::make_unique<NativeSkinEngineCaller>();
}

#if defined(_WIN32) && !defined(_WIN64)

bool NativeSkinEngineCaller::callAttach(std::uintptr_t function, const AttachArguments& arguments,
                                        std::int32_t& result) {
    if (function == 0) return false;
    using AttachFunction = std::int32_t(__stdcall*)(const char*, std::int32_t, const char*,
                                                    std::int32_t, std::int32_t, std::int32_t);
    const auto attach = reinterpret_cast<AttachFunction>(function);
    result = attach(arguments.skin, static_cast<std::int32_t>(arguments.skinLength),
                    arguments.password, arguments.hue, arguments.saturation, arguments.brightness);
    return true;
}

#else

bool NativeSkinEngineCaller::callAttach(std::uintptr_t, const AttachArguments&, std::int32_t&) {
    // A 32-bit Windows function cannot run in this process.
    return false;
}

#endif

}  // namespace lumo
