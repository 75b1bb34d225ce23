#pragma once

#include "base/Text.h"

namespace lumo {

// The statements that mark and unmark a favourite, for the article whose `info`.`id` is `id`.
// The id is read back from a list cell; only a decimal integer is put into a statement, anything
// else (an empty cell, say) gives the empty text, which the callers take as "nothing to do".
// Pure; any thread.

// "update info set issoucang=1 where id=" + id
Text favourArticleSql(const Text& id);

// "update info set issoucang=0 where id=" + id
Text unfavourArticleSql(const Text& id);

// True for an optional "-" followed by 1 to 19 ASCII digits.
bool isArticleId(const Text& id);

}  // namespace lumo
