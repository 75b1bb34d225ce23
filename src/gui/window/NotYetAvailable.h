#pragma once

#include "base/MessagePresenter.h"

namespace lumo {

// The answer of the commands whose feature comes in a later version (deleting plans or articles,
// clearing the list, exporting favourites): the box "此功能下个版本见!" with the default caption.
void showNotYetAvailable(MessagePresenter& messages);

}  // namespace lumo
