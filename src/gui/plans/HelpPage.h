#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace lumo {

// The help page on writing article patterns that ships inside the program (resource
// ":/html/help.html"), opened in the user's default browser from the hint of `正则框`.
//
// A browser cannot read the program's resources, so open() first writes the page to a file of
// its own in the user's cache folder (the temporary folder when there is none) and hands that
// file's address to the opener. Only this page is ever opened as a local file.
//
// Window thread only.
class HelpPage {
public:
    // Hands an address to the default program; returns whether it started. Tests pass their own
    // so that no browser starts.
    using Opener = std::function<bool(const QUrl&)>;

    // The desktop's opener.
    HelpPage();
    explicit HelpPage(Opener opener);

    // Writes the page out and opens it; false when it could not be written or opened.
    bool open();

    // Where open() writes the page.
    static QString filePath();

private:
    Opener opener_;
};

}  // namespace lumo
