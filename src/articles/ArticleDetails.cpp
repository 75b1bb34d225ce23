#include "articles/ArticleDetails.h"

#include <array>

#include "base/GbkCodec.h"

namespace lumo {

Text articleDetailsLine(const TextList& cells) {
    static const std::array<Text, 7> kLabels = {
        gbk("文章ID："),     gbk("；所属站点："), gbk("；文章标题："), gbk("；链接："),
        gbk("；更新时间："), gbk("；状态："),     gbk("；备注：")};
    Text line;
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        line += kLabels[i];
        if (i < cells.size()) line += cells[i];
    }
    return line;
}

}  // namespace lumo
