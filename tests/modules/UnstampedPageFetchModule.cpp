// The page fetch module as builds made it before modules carried a build stamp: the entry point
// alone.
#include "curl/CurlPageFetcher.h"

extern "C" __attribute__((visibility("default"))) lumo::PageFetcher* lumoCreatePageFetcher(
    const lumo::FetchOptions& options) {
    return new lumo::CurlPageFetcher(options);
}
