#pragma once

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "store/ArticleRecord.h"
#include "store/PlanHealth.h"
#include "store/QueryResult.h"

namespace lumo {

class DatabaseConnection;

// An Atom 1.0 feed (RFC 4287) of the latest stored articles, in UTF-8, written with libxml2's
// text writer.
//
// - Feed id: "tag:lumo,2026:db/K" with the database's key K (Options::databaseKey), or
//   "tag:lumo,2026:db/K/plan/P" for one plan's feed; without a key "tag:lumo,2026:articles" and
//   "tag:lumo,2026:plan/P".
// - Entry id: "tag:lumo,2026:plan/P/article/A/H" from the article's `planid` (P) and `id` (A),
//   each as its 64-bit integer, and H, a hash of the article's plan id, title, address and time.
//   Stable for as long as the article stays in the file; an id that SQLite hands out again after
//   a deletion belongs to another article, whose hash differs.
// - Entry title: the stored title, GBK converted to UTF-8; `category` the plan's name, `summary`
//   the spare value when it has one.
// - Entry link: an address webLinkToOpen() accepts (http and https), or a relative address
//   resolved against the plan's page address (Options::planPages) as a browser would. An entry
//   without a link gets a text `content` instead (its stored address, else its title), as
//   RFC 4287 wants one of the two.
// - Entry updated: `addtime` (local "Y-M-D H:M:S") in RFC 3339 with the local offset; a time that
//   cannot be read takes the feed's updated time.
// - Feed updated: the newest entry time, or `now` for a feed without entries.
// - A plan that is broken now (PlanHealthRecord::brokenAt(Options::brokenAfter)) gets an entry
//   before the articles: title "方案失效：" and its name, the reason, failures and address in a
//   text content, updated when its failing spell began, and the id
//   "tag:lumo,2026:plan/P/broken/H" with H a hash of the spell's start and of the success before
//   it (neither changes during a spell), so one broken spell keeps one id and the next spell
//   gets a new one. A plan feed carries only its plan's.
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
        // Tells this database's feed apart from every other's (databaseKey()); empty for none.
        std::string databaseKey;
        // Each plan's page address (`rule`.`url`, GBK) by plan id, for relative article addresses.
        std::map<long long, Text> planPages;
        // A plan is broken after this many failed checks in a row.
        int brokenAfter = 3;
        // The plans broken now (fromDatabase() fills it from the health records).
        struct BrokenPlan {
            long long planId = 0;
            Text name;  // GBK
            Text url;   // GBK
            PlanHealthRecord health;
        };
        std::vector<BrokenPlan> brokenPlans;
    };

    // The statement that reads the articles: the latest-articles list's, with the plan and limit.
    static Text query(const Options& options);

    // The document for `articles` (rows of `info`, newest first).
    // Throws std::runtime_error when libxml2 cannot write (out of memory).
    static std::string write(const std::vector<ArticleRecord>& articles, const Options& options,
                             std::time_t now);

    // query() and the plans' page addresses read from `database`, then write(). Nothing when a
    // read failed: `failure` then holds that query's result (SQLite's code and message), and no
    // document is made. Throws as write() does.
    static std::optional<std::string> fromDatabase(DatabaseConnection& database, Options options,
                                                   std::time_t now, QueryResult& failure);

    // The entry id of a broken plan's spell.
    static std::string brokenEntryId(long long planId, const PlanHealthRecord& health);
    // The entry id of an article (a row of `info`).
    static std::string entryId(const ArticleRecord& article);

    // The key of a database for its feed id: stable for one database file on one host, and
    // different for every other file or host (a hash of both, as 16 hex digits).
    static std::string databaseKey(const std::string& hostName, const std::string& canonicalPath);

    // A stored time ("2026-3-7 9:05:00", local time) in RFC 3339 with the local offset
    // ("2026-03-07T09:05:00+01:00"), or nothing when it is no such time.
    static std::optional<std::string> rfc3339(const Text& storedTime);

    // A time in RFC 3339 with the local offset.
    static std::string rfc3339(std::time_t time);
};

}  // namespace lumo
