#pragma once

#include <array>
#include <cstddef>

#include "base/Text.h"

namespace lumo {

// One row of table `info`: 8 texts in column order.
struct ArticleRecord {
    enum Column : std::size_t {
        id = 0,
        planname = 1,
        planid = 2,
        title = 3,
        url = 4,
        other = 5,
        addtime = 6,
        issoucang = 7,
    };
    static constexpr std::size_t kColumnCount = 8;

    std::array<Text, kColumnCount> fields;

    const Text& operator[](Column c) const { return fields[c]; }
    Text& operator[](Column c) { return fields[c]; }

    static ArticleRecord fromRow(const TextList& row) {
        ArticleRecord record;
        for (std::size_t i = 0; i < kColumnCount && i < row.size(); ++i) record.fields[i] = row[i];
        return record;
    }
};

}  // namespace lumo
