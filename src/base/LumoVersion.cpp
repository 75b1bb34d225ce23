#include "base/LumoVersion.h"

#include "base/GbkCodec.h"

namespace lumo {

const char* lumoVersion() {
    return LUMO_VERSION;  // set by the build for this file
}

Text lumoTitle() {
    return gbk("鲁莫网站更新提醒工具 v") + lumoVersion();
}

}  // namespace lumo
