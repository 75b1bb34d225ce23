#pragma once

#include <QUrl>

#include "base/LinkOpener.h"

namespace lumo {

// Opens web links in the desktop's default browser (QDesktopServices). Anything that is not an
// http or https address with a host is ignored, whoever asks: a link from a page must never start
// a local program or open a local file. The outcome of the open is not reported.
//
// Window thread only.
class QtLinkOpener : public LinkOpener {
public:
    void openLink(const Text& url) override;

    // The address handed to the desktop for a GBK link: trimmed, converted to Unicode, characters
    // that an address cannot hold percent-encoded (as UTF-8, as browsers send typed addresses),
    // existing percent escapes kept. An invalid QUrl when the link is not a web link.
    static QUrl webUrlOf(const Text& url);
};

}  // namespace lumo
