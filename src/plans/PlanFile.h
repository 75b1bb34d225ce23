#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "check/MonitorPlan.h"

namespace lumo {

class DatabaseConnection;

// Plans as files: a JSON document (UTF-8) that people pass around to share working plans.
//
//   {"format": "lumo-plans", "version": 1, "plans": [{"name": ..., "url": ..., ...}, ...]}
//
// Each plan holds the `rule` columns by name, in column order: texts as strings (GBK converted to
// UTF-8), the indexes `tindex`, `uindex` and `oindex` as integers. Left out unless `withState`:
// `id` (an integer), `isdo`, `arttile`, `arturl`, `lasttime` and `lastid` (texts).
//
// Import checks every plan before it writes anything: it must have `name`, `url`, `code`, `ua`,
// `before`, `after`, `regular`, `buquan` and `type` as strings, `cookie` and `spare` as strings
// or missing; the indexes as 32-bit integers (they are stored as text); `url` an address the
// fetch takes (http://, https:// or a bare host, with a usable host and port); `ua` and `cookie`
// without CR, LF or NUL (each goes into one request header line); `regular` a pattern Boost.Regex
// compiles the way monitoring does and that stays within the search limits on probe texts
// (ArticleMatches::probe); every text writable in GBK; no other key (the state keys are accepted
// and ignored). Each failure is one message naming the plan and field. Every plan the window can
// save passes, names that are empty or repeated included. The same plan is found by name: the
// k-th plan of a name in the file is the k-th stored plan of that name (in id order). Without
// `replace` a plan that has such a stored counterpart is skipped; with it, the counterpart takes
// the file's definition and keeps its id, tick and last-seen fields. The other plans go in
// unticked (`isdo` "0") with empty last-seen fields. All writes form one transaction: any
// failure changes nothing.
//
// Stateless; safe from any thread. importPlans() writes through DatabaseConnection::executeAll(),
// so its statements form one transaction under the connection's lock, beside other threads. The
// names it compares with are read just before that transaction.
class PlanFile {
public:
    struct ExportResult {
        std::string json;  // the document, ending in a newline; empty on failure
        // Why it failed (UTF-8): Refused for an id that is not stored; Busy or Failed, with
        // SQLite's code, when the plans could not be read from the database.
        Status status;
    };

    struct ImportReport {
        bool ok = false;
        std::vector<std::string> errors;    // UTF-8, one per failure; nothing changed when any
        std::vector<std::string> added;     // plan names (UTF-8), in file order
        std::vector<std::string> replaced;  // with `replace`: names whose stored plans changed
        std::vector<std::string> skipped;   // without it: names that are stored already
    };

    // The plans with these ids (every plan when none is given), in id order. An id that is not
    // stored is an error.
    static ExportResult exportPlans(DatabaseConnection& database,
                                    const std::vector<long long>& ids = {}, bool withState = false);

    // The document for these plans, in the given order.
    static std::string toJson(const std::vector<MonitorPlan>& plans, bool withState);

    // Checks every plan of `json`; the plans (as GBK rows, id and state fields empty) when all
    // pass, otherwise the messages.
    static std::vector<MonitorPlan> readPlans(std::string_view json,
                                              std::vector<std::string>& errors);

    static ImportReport importPlans(DatabaseConnection& database, std::string_view json,
                                    bool replace = false);
};

}  // namespace lumo
