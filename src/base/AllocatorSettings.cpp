#include "base/AllocatorSettings.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lumo {

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Blocks up to 2 MB come from the heap rather than mappings of their own, and the heap keeps
    // up to 4 MB of free space at its top. Setting either also ends glibc's own adjustment of
    // both, which starts from 128 KB.
    mallopt(M_MMAP_THRESHOLD, 2 << 20);
    mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
}

}  // namespace lumo
