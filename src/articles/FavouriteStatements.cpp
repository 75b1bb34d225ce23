#include "articles/FavouriteStatements.h"

namespace lumo {

bool isArticleId(const Text& id) {
    const std::size_t start = (!id.empty() && id[0] == '-') ? 1 : 0;
    const std::size_t digits = id.size() - start;
    if (digits == 0 || digits > 19) return false;
    for (std::size_t i = start; i < id.size(); ++i) {
        if (id[i] < '0' || id[i] > '9') return false;
    }
    return true;
}

Text favourArticleSql(const Text& id) {
    if (!isArticleId(id)) return Text();
    return "update info set issoucang=1 where id=" + id;
}

Text unfavourArticleSql(const Text& id) {
    if (!isArticleId(id)) return Text();
    return "update info set issoucang=0 where id=" + id;
}

}  // namespace lumo
