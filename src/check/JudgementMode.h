#pragma once

#include "base/Text.h"

namespace lumo {

// How a plan decides which articles of its page are new; stored in rule.type as "0", "2" or "8".
enum class JudgementMode {
    NewestFirst = 0,       // newest article first; new ones stand before the remembered title
    OldestFirst = 2,       // newest article last; new ones stand after the remembered title
    CompareArticleId = 8,  // an article is new when its id exceeds the remembered highest id
};

// The mode a stored type text selects; anything but 2 and 8 (the empty text included) is 0.
JudgementMode judgementModeOfText(const Text& type);

}  // namespace lumo
