#include "plans/PlanFile.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "http/UrlParts.h"
#include "store/DatabaseConnection.h"
#include "store/SqlValues.h"

namespace lumo {
namespace {

using Json = nlohmann::ordered_json;
using C = MonitorPlan::Column;

struct Field {
    const char* name;
    C column;
    enum Kind { RequiredText, OptionalText, Index, State } kind;
};

// The columns of a plan in the file, in column order; the state columns at their places.
constexpr Field kFields[] = {
    {"id", C::id, Field::State},
    {"arturl", C::arturl, Field::State},
    {"code", C::code, Field::RequiredText},
    {"name", C::name, Field::RequiredText},
    {"url", C::url, Field::RequiredText},
    {"cookie", C::cookie, Field::OptionalText},
    {"ua", C::ua, Field::RequiredText},
    {"arttile", C::arttile, Field::State},
    {"lasttime", C::lasttime, Field::State},
    {"spare", C::spare, Field::OptionalText},
    {"buquan", C::buquan, Field::RequiredText},
    {"regular", C::regular, Field::RequiredText},
    {"before", C::before, Field::RequiredText},
    {"after", C::after, Field::RequiredText},
    {"tindex", C::tindex, Field::Index},
    {"uindex", C::uindex, Field::Index},
    {"oindex", C::oindex, Field::Index},
    {"isdo", C::isdo, Field::State},
    {"lastid", C::lastid, Field::State},
    {"type", C::type, Field::RequiredText},
};
// An index is stored as text and read as a 32-bit integer; the editor takes any text there.
constexpr long long kMinIndex = std::numeric_limits<std::int32_t>::min();
constexpr long long kMaxIndex = std::numeric_limits<std::int32_t>::max();
constexpr const char* kFormat = "lumo-plans";

const Field* fieldNamed(const std::string& name) {
    for (const Field& field : kFields) {
        if (name == field.name) return &field;
    }
    return nullptr;
}

// Checks one plan object; appends the messages, fills `plan` as far as it gets.
class PlanChecker {
public:
    PlanChecker(const Json& object, std::size_t number, std::vector<std::string>& errors)
        : object_(object), errors_(errors) {
        label_ = "方案 #" + std::to_string(number);
        const auto name = object.find("name");
        if (name != object.end() && name->is_string())
            label_ += "「" + name->get<std::string>() + "」";
    }

    MonitorPlan check() {
        MonitorPlan plan;
        for (const auto& [key, value] : object_.items()) {
            if (fieldNamed(key) == nullptr) fail(key, "不是方案的字段");
        }
        for (const Field& field : kFields) {
            if (field.kind == Field::Index) {
                plan[field.column] = index(field.name);
            } else if (field.kind != Field::State) {
                plan[field.column] = text(field.name, field.kind == Field::RequiredText);
            }
        }
        checkAddress(plan[C::url]);
        for (const char* name : {"ua", "cookie"}) checkHeaderField(name);
        const ArticleMatches compiled = ArticleMatches::search(plan[C::regular], Text());
        if (object_.contains("regular") && compiled.failed()) {
            fail("regular", "正则表达式无法编译：" + gbkToUtf8(compiled.failure().reason()));
        } else if (object_.contains("regular")) {
            const Status runaway = ArticleMatches::probe(plan[C::regular]);
            if (!runaway.ok()) {
                fail("regular", "正则表达式会失控回溯，检查时无法在限定内完成：" +
                                    gbkToUtf8(runaway.reason()));
            }
        }
        return plan;
    }

private:
    void fail(const std::string& field, const std::string& what) {
        errors_.push_back(label_ + "：字段 " + field + " " + what);
    }

    Text text(const char* name, bool required) {
        const auto found = object_.find(name);
        if (found == object_.end()) {
            if (required) fail(name, "缺失");
            return {};
        }
        if (!found->is_string()) {
            fail(name, "应为字符串");
            return {};
        }
        const std::string utf8 = found->get<std::string>();
        const Text converted = utf8ToGbk(utf8);
        if (gbkToUtf8(converted) != utf8) fail(name, "含有无法以 GBK 保存的字符");
        return converted;
    }

    Text index(const char* name) {
        const auto found = object_.find(name);
        if (found == object_.end()) {
            fail(name, "缺失");
            return {};
        }
        if (!found->is_number_integer() || found->get<long long>() < kMinIndex ||
            found->get<long long>() > kMaxIndex) {
            fail(name, "应为整数（" + std::to_string(kMinIndex) + " 到 " +
                           std::to_string(kMaxIndex) + "）");
            return {};
        }
        return textOfInteger(found->get<long long>());
    }

    // A header field's value goes into one request line: a line break would start another.
    void checkHeaderField(const char* name) {
        const auto found = object_.find(name);
        if (found == object_.end() || !found->is_string()) return;
        if (found->get<std::string>().find_first_of(std::string("\r\n\0", 3)) !=
            std::string::npos) {
            fail(name, "含有回车、换行或空字符，不能用作请求头");
        }
    }

    void checkAddress(const Text& url) {
        const auto found = object_.find("url");
        if (found == object_.end() || !found->is_string()) return;
        // What a check can fetch: http://, https:// or a bare host (plain HTTP), and a host
        // and port the fetch takes; no control character, which the editor's box cannot hold.
        const bool control = std::any_of(url.begin(), url.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        });
        if (control || wireAddress(url).empty()) {
            fail("url", "应为 http:// 或 https:// 开头（或以主机名开头）、可以访问的网址");
        }
    }

    const Json& object_;
    std::vector<std::string>& errors_;
    std::string label_;
};

Text quoted(const Text& value) {
    return "'" + sqlQuoteDoubled(value) + "'";
}

Text insertStatement(const MonitorPlan& plan) {
    Text names = "isdo,arttile,arturl,lasttime,lastid";
    Text values = "'0','','','',''";
    for (const Field& field : kFields) {
        if (field.kind == Field::State) continue;
        names += Text(",") + field.name;
        values += "," + quoted(plan[field.column]);
    }
    return "insert into rule(" + names + ") values(" + values + ");";
}

Text updateStatement(const MonitorPlan& plan, const Text& id) {
    Text assignments;
    for (const Field& field : kFields) {
        if (field.kind == Field::State || field.column == C::name) continue;
        if (!assignments.empty()) assignments += ",";
        assignments += Text(field.name) + "=" + quoted(plan[field.column]);
    }
    return "update rule set " + assignments + " where id=" + sqlInteger(id) + ";";
}

std::string sqlFailure(int errorCode) {
    return "数据库写入失败，错误代码：" + std::to_string(errorCode) + "，未导入任何方案";
}

}  // namespace

std::string PlanFile::toJson(const std::vector<MonitorPlan>& plans, bool withState) {
    Json list = Json::array();
    for (const MonitorPlan& plan : plans) {
        Json object = Json::object();
        for (const Field& field : kFields) {
            if (field.kind == Field::State && !withState) continue;
            const Text& value = plan[field.column];
            if (field.kind == Field::Index) {
                object[field.name] = integerOfText(value);
            } else if (field.column == C::id) {
                object[field.name] = integerOfText(value);
            } else {
                object[field.name] = gbkToUtf8(value);
            }
        }
        list.push_back(std::move(object));
    }
    Json document = {{"format", kFormat}, {"version", 1}, {"plans", std::move(list)}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

PlanFile::ExportResult PlanFile::exportPlans(DatabaseConnection& database,
                                             const std::vector<long long>& ids, bool withState) {
    const QueryResult stored = database.query("select * from rule order by id");
    if (!stored.ok) {
        return {{},
                Status::failure(stored.busy() ? Status::Kind::Busy : Status::Kind::Failed,
                                "无法读取方案表 rule：" + stored.message, stored.errorCode)};
    }
    std::map<long long, MonitorPlan> byId;
    std::vector<MonitorPlan> plans;
    for (const TextList& row : stored.rows) {
        MonitorPlan plan = MonitorPlan::fromRow(row);
        byId[integerOfText(plan[C::id])] = plan;
        if (ids.empty()) plans.push_back(std::move(plan));
    }
    std::vector<long long> wanted = ids;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    for (const long long id : wanted) {
        const auto found = byId.find(id);
        if (found == byId.end()) {
            return {{},
                    Status::failure(Status::Kind::Refused,
                                    "没有 id 为 " + std::to_string(id) + " 的方案")};
        }
        plans.push_back(found->second);
    }
    return {toJson(plans, withState), Status()};
}

std::vector<MonitorPlan> PlanFile::readPlans(std::string_view json,
                                             std::vector<std::string>& errors) {
    Json document;
    try {
        document = Json::parse(json.begin(), json.end());
    } catch (const Json::parse_error& error) {
        errors.push_back(std::string("不是有效的 JSON 文件：") + error.what());
        return {};
    }
    if (!document.is_object() || document.value("format", Json()) != kFormat ||
        !document.contains("plans") || !document["plans"].is_array()) {
        errors.push_back(
            "不是 Lumo 的方案文件：应为带有 \"format\": \"lumo-plans\" 和 \"plans\" 列表的对象");
        return {};
    }
    if (document.value("version", Json()) != 1) {
        errors.push_back("不支持的方案文件版本（应为 1）");
        return {};
    }
    std::vector<MonitorPlan> plans;
    std::size_t number = 0;
    for (const Json& object : document["plans"]) {
        ++number;
        if (!object.is_object()) {
            errors.push_back("方案 #" + std::to_string(number) + "：应为对象");
            continue;
        }
        plans.push_back(PlanChecker(object, number, errors).check());
    }
    if (!errors.empty()) plans.clear();
    return plans;
}

PlanFile::ImportReport PlanFile::importPlans(DatabaseConnection& database, std::string_view json,
                                             bool replace) {
    ImportReport report;
    const std::vector<MonitorPlan> plans = readPlans(json, report.errors);
    if (!report.errors.empty()) return report;
    const QueryResult stored = database.query("select id,name from rule order by id");
    if (!stored.ok) {
        report.errors.push_back("无法读取方案表 rule：" + stored.message);
        return report;
    }
    // The stored plans of each name, oldest first; the k-th plan of a name in the file is the
    // k-th stored plan of that name.
    std::map<Text, std::deque<Text>> storedIds;
    for (const TextList& row : stored.rows) {
        if (row.size() == 2) storedIds[row[1]].push_back(row[0]);
    }
    TextList statements;
    for (const MonitorPlan& plan : plans) {
        const std::string name = gbkToUtf8(plan[C::name]);
        std::deque<Text>& same = storedIds[plan[C::name]];
        if (same.empty()) {
            statements.push_back(insertStatement(plan));
            report.added.push_back(name);
        } else if (replace) {
            statements.push_back(updateStatement(plan, same.front()));
            report.replaced.push_back(name);
        } else {
            report.skipped.push_back(name);
        }
        if (!same.empty()) same.pop_front();
    }
    // One transaction under the connection's lock: no other thread's statement lands inside it,
    // and a failure rolls every statement back.
    const DatabaseConnection::BatchOutcome outcome = database.executeAll(statements);
    if (!outcome.ok) {
        report.errors.push_back(sqlFailure(outcome.errorCode));
        report.added.clear();
        report.replaced.clear();
        report.skipped.clear();
        return report;
    }
    report.ok = true;
    return report;
}

}  // namespace lumo
