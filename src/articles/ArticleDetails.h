#pragma once

#include "base/Text.h"

namespace lumo {

// The details line of a clicked article, written over the status log: the seven labels
// "文章ID：", "；所属站点：", "；文章标题：", "；链接：", "；更新时间：", "；状态：", "；备注：",
// each followed by the matching cell of the latest-articles row (cells 0 to 6) exactly as it
// stands. Missing cells (no row selected) leave the labels alone. Pure; any thread.
Text articleDetailsLine(const TextList& cells);

}  // namespace lumo
