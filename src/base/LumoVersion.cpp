#include "base/LumoVersion.h"

namespace lumo {

const char* lumoVersion() {
    return LUMO_VERSION;  // set by the build for this file
}

Text lumoTitle() {
    // "鲁莫网站更新提醒工具 v", written out in GBK: the window's title is set at every start, and
    // converting it would build the converter's 128 KB table in a window that may never need it.
    static constexpr char kName[] =
        "\xC2\xB3\xC4\xAA\xCD\xF8\xD5\xBE\xB8\xFC\xD0\xC2\xCC\xE1\xD0\xD1\xB9\xA4\xBE\xDF v";
    return Text(kName) + lumoVersion();
}

}  // namespace lumo
