#pragma once

#include <string>
#include <vector>

#include "base/Text.h"
#include "check/MonitorPlan.h"
#include "store/ArticleRecord.h"
#include "store/DatabaseConnection.h"
#include "store/QueryResult.h"

namespace lumo::test {

// A fresh lumo.sdb, built from the shipped schema in a private temporary directory and removed
// with the object. `database()` is a PlanDatabase already open on it, as the program would hold.
//
// The helpers that seed and read rows use a connection of their own with bound parameters, so
// any bytes (quotes, semicolons, broken GBK) go in and come out unchanged and independently of the
// code under test.
//
// Not thread-safe itself; the PlanDatabase it hands out is.
class TempDatabase {
public:
    TempDatabase();
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    const std::string& path() const { return path_; }
    const std::string& directory() const { return directory_; }
    DatabaseConnection& database() { return database_; }

    // Inserts a row into `rule` with every column of `plan` except id (a non-empty id is kept)
    // and returns the row's id. The plan's id field is set to it.
    int addPlan(MonitorPlan& plan);

    // The rule row with this id as stored now, or an empty plan.
    MonitorPlan plan(int id);

    // Every row of `info` in ascending id order.
    std::vector<ArticleRecord> articles();

    // Any read-only statement, every value as text (NULL as empty).
    QueryResult query(const std::string& sql);

private:
    std::string directory_;
    std::string path_;
    DatabaseConnection database_;
};

}  // namespace lumo::test
