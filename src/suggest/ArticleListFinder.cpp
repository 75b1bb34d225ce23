#include "suggest/ArticleListFinder.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string_view>
#include <unordered_map>

#include "base/TextOps.h"
#include "suggest/HtmlText.h"

namespace lumo {
namespace {

bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

Text hrefOf(const Text& page, const PageAnchors::Anchor& a) {
    const PageAnchors::Attribute& href = a.attributes[static_cast<std::size_t>(a.href)];
    return page.substr(href.start, href.end - href.start);
}

std::size_t commonPrefix(const std::vector<int>& a, const std::vector<int>& b) {
    std::size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
    return k;
}

// The runs of one group: consecutive links whose common ancestor lies well above the usual one
// belong to different containers (a sidebar's list beside the main one).
std::vector<std::vector<int>> splitIntoRuns(const PageAnchors& anchors,
                                            const std::vector<int>& group) {
    std::vector<std::size_t> depths;
    for (std::size_t i = 1; i < group.size(); ++i) {
        depths.push_back(
            commonPrefix(anchors.anchors()[group[i - 1]].path, anchors.anchors()[group[i]].path));
    }
    std::map<std::size_t, int> counts;
    for (const std::size_t d : depths) ++counts[d];
    std::size_t usual = 0;
    int best = 0;
    for (const auto& [depth, count] : counts) {
        if (count >= best) {
            best = count;
            usual = depth;
        }
    }
    std::vector<std::vector<int>> runs(1, std::vector<int>{group.front()});
    for (std::size_t i = 1; i < group.size(); ++i) {
        if (depths[i - 1] + 1 < usual) runs.emplace_back();
        runs.back().push_back(group[i]);
    }
    return runs;
}

// Every run of letters and digits that holds a digit as '#'.
Text collapsedDigits(const Text& text) {
    Text shape;
    for (std::size_t i = 0; i < text.size();) {
        if (!isAlnum(text[i])) {
            shape += text[i++];
            continue;
        }
        std::size_t end = i;
        bool digit = false;
        for (; end < text.size() && isAlnum(text[end]); ++end) {
            if (text[end] <= '9') digit = true;
        }
        if (digit) {
            shape += '#';
        } else {
            shape.append(text, i, end - i);
        }
        i = end;
    }
    return shape;
}

// Addresses that lead to people, tags, pages of a list or boards.
bool leadsAwayFromArticles(const Text& shape) {
    static constexpr std::array<std::string_view, 20> kWords = {
        "uid",  "user",   "member",   "profile", "space", "author",  "/tag",
        "tag=", "tags/",  "page=",    "/page/",  "fid=",  "forum-",  "forumdisplay",
        "/go/", "/node/", "category", "cat=",    "/u/",   "/people/"};
    const Text lead = lowerText(shape);
    for (const std::string_view word : kWords) {
        if (lead.find(word) != Text::npos) return true;
    }
    return false;
}

// How much of a title is words (letters, Chinese) rather than digits, dates and signs.
bool isWordy(const Text& title) {
    if (title.empty()) return false;
    std::size_t words = 0;
    for (const char c : title) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')) ++words;
    }
    return words * 10 >= title.size() * 4;
}

double scoreOf(const Text& page, const PageAnchors& anchors, const std::vector<int>& run,
               const Text& shape) {
    std::set<Text> titles;
    std::set<Text> hrefs;
    double length = 0;
    int wordy = 0;
    int navigation = 0;
    for (const int i : run) {
        const PageAnchors::Anchor& a = anchors.anchors()[i];
        const Text title = visibleText(page.substr(a.tagEnd, a.innerEnd - a.tagEnd));
        length += static_cast<double>(std::min<std::size_t>(title.size(), 80));
        if (isWordy(title)) ++wordy;
        if (a.navigation) ++navigation;
        titles.insert(title);
        hrefs.insert(hrefOf(page, a));
    }
    const double n = static_cast<double>(run.size());
    double score =
        length * (static_cast<double>(titles.size()) / n) * (static_cast<double>(hrefs.size()) / n);
    if (wordy * 2 < static_cast<int>(run.size())) score *= 0.05;
    if (navigation * 2 > static_cast<int>(run.size())) score *= 0.25;
    if (leadsAwayFromArticles(shape)) score *= 0.2;
    return score;
}

}  // namespace

Text ArticleListFinder::addressShape(const Text& href) {
    const std::size_t query = std::min(href.find_first_of("?#"), href.size());
    const bool trailingSlash = query > 0 && href[query - 1] == '/';
    const std::size_t pathEnd = trailingSlash ? query - 1 : query;
    const std::size_t slash = pathEnd == 0 ? Text::npos : href.rfind('/', pathEnd - 1);
    const std::size_t segment = slash == Text::npos ? 0 : slash + 1;
    const Text last = href.substr(segment, pathEnd - segment);
    // A last segment without any number (a slug) varies as a whole, its extension kept.
    if (!last.empty() && last.find_first_of("0123456789") == Text::npos) {
        const std::size_t dot = last.rfind('.');
        return collapsedDigits(href.substr(0, segment)) + "*" +
               (dot == Text::npos ? Text() : last.substr(dot)) + (trailingSlash ? "/" : "") +
               collapsedDigits(href.substr(query));
    }
    return collapsedDigits(href);
}

std::vector<ArticleList> ArticleListFinder::find(const Text& page, const PageAnchors& anchors) {
    std::unordered_map<Text, std::vector<int>> groups;
    std::vector<Text> order;  // group keys in page order of their first link
    const auto& all = anchors.anchors();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Text key = all[i].signature + "|" + addressShape(hrefOf(page, all[i]));
        auto [at, added] = groups.try_emplace(key);
        if (added) order.push_back(key);
        at->second.push_back(static_cast<int>(i));
    }

    std::vector<ArticleList> lists;
    for (const Text& key : order) {
        const std::vector<int>& group = groups[key];
        if (static_cast<int>(group.size()) < kMinItems) continue;
        for (std::vector<int>& run : splitIntoRuns(anchors, group)) {
            if (static_cast<int>(run.size()) < kMinItems) continue;
            ArticleList list;
            list.shape = key.substr(key.find('|') + 1);
            std::size_t depth = all[run.front()].path.size();
            for (const int i : run) {
                depth = std::min(depth, commonPrefix(all[run.front()].path, all[i].path));
            }
            list.containerDepth = static_cast<int>(depth);
            list.score = scoreOf(page, anchors, run, list.shape);
            list.items = std::move(run);
            lists.push_back(std::move(list));
        }
    }
    std::stable_sort(lists.begin(), lists.end(),
                     [](const ArticleList& a, const ArticleList& b) { return a.score > b.score; });
    return lists;
}

}  // namespace lumo
