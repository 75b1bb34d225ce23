#pragma once

#include <array>
#include <cstddef>

#include "base/Text.h"

namespace lumo {

// One row of table `rule`: 20 texts in column order. Plans are addressed by column position,
// never by name, because the column order is part of the file format.
struct MonitorPlan {
    enum Column : std::size_t {
        id = 0,
        arturl = 1,
        code = 2,
        name = 3,
        url = 4,
        cookie = 5,
        ua = 6,
        arttile = 7,
        lasttime = 8,
        spare = 9,
        buquan = 10,
        regular = 11,
        before = 12,
        after = 13,
        tindex = 14,
        uindex = 15,
        oindex = 16,
        isdo = 17,
        lastid = 18,
        type = 19,
    };
    static constexpr std::size_t kColumnCount = 20;

    std::array<Text, kColumnCount> fields;

    const Text& operator[](Column c) const { return fields[c]; }
    Text& operator[](Column c) { return fields[c]; }

    // A plan from a row of texts: missing columns read as empty, extra ones are ignored.
    static MonitorPlan fromRow(const TextList& row) {
        MonitorPlan plan;
        for (std::size_t i = 0; i < kColumnCount && i < row.size(); ++i) plan.fields[i] = row[i];
        return plan;
    }
};

}  // namespace lumo
