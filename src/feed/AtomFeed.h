#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "store/ArticleRecord.h"

namespace lumo {

class DatabaseConnection;

// An Atom 1.0 feed (RFC 4287) of the latest stored articles, in UTF-8, written with libxml2's
// text writer.
//
// - Feed id: "tag:lumo,2026:articles", or "tag:lumo,2026:plan/P" for one plan's feed.
// - Entry id: "tag:lumo,2026:plan/P/article/A" from the article's `planid` (P) and `id` (A), each
//   as its integer; stable for as long as the article stays in the file.
// - Entry title: the stored title, GBK converted to UTF-8; `category` the plan's name, `summary`
//   the spare value when it has one.
// - Entry link: only an address webLinkToOpen() accepts (http and https); otherwise none.
// - Entry updated: `addtime` (local "Y-M-D H:M:S") in RFC 3339 with the local offset; a time that
//   cannot be read takes the feed's updated time.
// - Feed updated: the newest entry time, or `now` for a feed without entries.
// Characters XML cannot carry (control bytes) become U+FFFD, so any stored bytes give valid XML.
//
// Stateless; safe from any thread. fromDatabase() uses the connection's own lock.
class AtomFeed {
public:
    struct Options {
        // Only this plan's articles (`info`.`planid`); every plan's when empty.
        std::optional<long long> planId;
        // The newest `limit` articles, 1 to 10000 (values outside are brought inside).
        int limit = 100;
        // The feed's title (UTF-8); " - " and the plan's name are added for one plan's feed.
        std::string title = "Lumo";
        // The feed's own address (rel="self"), left out when empty.
        std::string selfLink;
    };

    // The statement that reads the articles: the latest-articles list's, with the plan and limit.
    static Text query(const Options& options);

    // The document for `articles` (rows of `info`, newest first).
    // Throws std::runtime_error when libxml2 cannot write (out of memory).
    static std::string write(const std::vector<ArticleRecord>& articles, const Options& options,
                             std::time_t now);

    // query() on `database`, then write().
    static std::string fromDatabase(DatabaseConnection& database, const Options& options,
                                    std::time_t now);

    // The entry id of an article.
    static std::string entryId(const Text& planId, const Text& articleId);

    // A stored time ("2026-3-7 9:05:00", local time) in RFC 3339 with the local offset
    // ("2026-03-07T09:05:00+01:00"), or nothing when it is no such time.
    static std::optional<std::string> rfc3339(const Text& storedTime);

    // A time in RFC 3339 with the local offset.
    static std::string rfc3339(std::time_t time);
};

}  // namespace lumo
