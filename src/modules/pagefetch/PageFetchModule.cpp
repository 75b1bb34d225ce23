// The page fetcher over libcurl as a module of its own (lumo_page_fetch), which the window's
// ModulePageFetcher loads at its first fetch. The program itself does not link libcurl, so curl,
// its TLS library and the rest of its chain stay out of memory until a page is wanted.
#include "curl/CurlPageFetcher.h"

// The build this module comes from; the window uses no module of another (ModuleFolders).
extern "C" __attribute__((visibility("default"))) const char* lumoModuleStamp() {
    return LUMO_MODULE_STAMP;
}

// A new fetcher with `options`; the caller owns it. Any thread.
extern "C" __attribute__((visibility("default"))) lumo::PageFetcher* lumoCreatePageFetcher(
    const lumo::FetchOptions& options) {
    return new lumo::CurlPageFetcher(options);
}
