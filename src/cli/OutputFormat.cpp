#include "cli/OutputFormat.h"

#include "base/GbkCodec.h"

namespace lumo::cli {

nlohmann::json jsonText(const Text& text) {
    return gbkToUtf8(text);
}

std::string tsvCell(const Text& text) {
    // Escaped after the conversion: in UTF-8 an ASCII byte is always that character, whereas a
    // GBK trail byte may be a backslash.
    std::string escaped;
    for (const char c : gbkToUtf8(text)) {
        switch (c) {
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string tsvLine(const TextList& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += '\t';
        line += tsvCell(cells[i]);
    }
    return line;
}

std::string jsonDocument(const nlohmann::json& document) {
    return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

Text judgementModeCaption(JudgementMode mode) {
    switch (mode) {
        case JudgementMode::OldestFirst:
            return gbk("时间正序");
        case JudgementMode::CompareArticleId:
            return gbk("比较文章ID");
        default:
            return gbk("时间倒序");
    }
}

}  // namespace lumo::cli
