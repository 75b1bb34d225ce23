#include "store/BusyCode.h"

#include <sqlite3.h>

namespace lumo {

bool isBusyCode(int code) {
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace lumo
