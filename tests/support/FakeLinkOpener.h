#pragma once

#include <vector>

#include "base/LinkOpener.h"

namespace lumo::test {

// Records the links it is asked to open instead of starting a browser. Window thread only.
class FakeLinkOpener : public LinkOpener {
public:
    void openLink(const Text& url) override { opened.push_back(url); }

    std::vector<Text> opened;
};

}  // namespace lumo::test
