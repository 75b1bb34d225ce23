#include "check/JudgementMode.h"

#include "base/TextOps.h"

namespace lumo {

JudgementMode judgementModeOfText(const Text& type) {
    switch (integerOfText(type)) {
        case 2:
            return JudgementMode::OldestFirst;
        case 8:
            return JudgementMode::CompareArticleId;
        default:
            return JudgementMode::NewestFirst;
    }
}

}  // namespace lumo
