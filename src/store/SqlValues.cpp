#include "store/SqlValues.h"

#include "base/TextOps.h"

namespace lumo {

Text escapeSqlText(const Text& text) {
    Text out = replaceAllText(text, "'", "''");
    out = replaceAllText(out, ";", "\xA3\xBB");  // ；
    out = replaceAllText(out, "(", "\xA3\xA8");  // （
    out = replaceAllText(out, ")", "\xA3\xA9");  // ）
    return replaceAllText(out, "\r\n", "");
}

Text sqlQuoteDoubled(const Text& value) {
    const Text text = textOfBytes(value);
    Text out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

Text sqlEscapedText(const Text& value) {
    const Text escaped = escapeSqlText(textOfBytes(value));
    Text out;
    out.reserve(escaped.size() + 2);
    std::size_t i = 0;
    while (i < escaped.size()) {
        if (escaped[i] != '\'') {
            out += escaped[i++];
            continue;
        }
        std::size_t run = 0;
        while (i < escaped.size() && escaped[i] == '\'') {
            ++run;
            ++i;
        }
        out.append(run + (run % 2), '\'');
    }
    return out;
}

Text sqlInteger(const Text& value) {
    return textOfInteger(integerOfText(value));
}

}  // namespace lumo
