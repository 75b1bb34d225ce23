#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

// A GBK (code page 936) byte string without NUL bytes. Page sources after conversion, plan
// fields, SQL texts and log lines are all Texts; conversion to Unicode happens only where a text
// meets a widget.
using Text = std::string;

// A byte buffer of known length that may hold any byte, NUL included (page bodies, embedded data).
using Bytes = std::string;

using TextList = std::vector<Text>;

}  // namespace lumo
