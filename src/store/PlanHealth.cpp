#include "store/PlanHealth.h"

#include "base/TextOps.h"
#include "store/SqlValues.h"

namespace lumo {
namespace {

constexpr const char* kColumns =
    "planid,checked,outcome,reason,failures,failingsince,lastsuccess,lastnew";

bool tableExists(DatabaseConnection& database, QueryResult& result) {
    result = database.query(
        "select count(*) from sqlite_master where type='table' and name='planhealth'");
    return result.ok && !result.rows.empty() && result.rows[0][0] != "0";
}

}  // namespace

const Text& PlanHealth::createTableStatement() {
    static const Text text =
        "create table if not exists planhealth(planid INTEGER PRIMARY KEY,checked TEXT,"
        "outcome TEXT,reason TEXT,failures INTEGER NOT NULL DEFAULT 0,failingsince TEXT,"
        "lastsuccess TEXT,lastnew TEXT)";
    return text;
}

Text PlanHealth::recordStatement(const Text& planId, const Text& outcome, const Text& reason,
                                 const Text& now) {
    const bool failed = outcome == kFailed;
    const Text at = "'" + sqlQuoteDoubled(now) + "'";
    return Text("insert into planhealth(") + kColumns + ") values(" + sqlInteger(planId) + "," +
           at + ",'" + sqlQuoteDoubled(outcome) + "','" + sqlQuoteDoubled(reason) + "'," +
           (failed ? "1," + at + ",''" : "0,''," + at) + "," +
           (outcome == kNewArticles ? at : Text("''")) +
           ") on conflict(planid) do update set checked=excluded.checked,"
           "outcome=excluded.outcome,reason=excluded.reason,"
           "failingsince=case when excluded.failures=0 then '' when failures=0 then "
           "excluded.checked else failingsince end,"
           "failures=case when excluded.failures=0 then 0 else failures+1 end,"
           "lastsuccess=case when excluded.failures=0 then excluded.checked else lastsuccess end,"
           "lastnew=case when excluded.lastnew<>'' then excluded.lastnew else lastnew end";
}

PlanHealthRecord PlanHealth::after(const std::optional<PlanHealthRecord>& before,
                                   const Text& planId, const Text& outcome, const Text& reason,
                                   const Text& now) {
    PlanHealthRecord record = before.value_or(PlanHealthRecord{});
    record.planId = planId;
    record.checked = now;
    record.outcome = outcome;
    record.reason = reason;
    if (outcome == kFailed) {
        if (record.failures == 0) record.failingSince = now;
        ++record.failures;
    } else {
        record.failures = 0;
        record.failingSince.clear();
        record.lastSuccess = now;
        if (outcome == kNewArticles) record.lastNew = now;
    }
    return record;
}

PlanHealth::Read PlanHealth::read(DatabaseConnection& database, const Text& planId) {
    Read read;
    if (!tableExists(database, read.query)) return read;  // no table yet: no records
    read.query = database.query(Text("select ") + kColumns + " from planhealth" +
                                (planId.empty() ? Text() : " where planid=" + sqlInteger(planId)));
    if (!read.query.ok) return read;
    for (const TextList& row : read.query.rows) {
        if (row.size() < 8) continue;
        PlanHealthRecord record{row[0], row[1], row[2], row[3], integerOfText(row[4]),
                                row[5], row[6], row[7]};
        read.records[record.planId] = std::move(record);
    }
    return read;
}

}  // namespace lumo
