#pragma once

#include <chrono>
#include <ctime>
#include <functional>

#include "base/Text.h"

namespace lumo {

// Where the current time comes from; an empty Clock means the system clock. Tests inject a fixed
// one.
using Clock = std::function<std::chrono::system_clock::time_point()>;

// A local date and time as year-month-day hour:minute:second, every number in decimal without
// leading zeros (2014-11-5 9:3:7): the form of every stored time and of the times in log lines.
Text timeText(const std::tm& local);

// The current local time in that form. Safe from any thread.
Text nowText(const Clock& clock = {});

}  // namespace lumo
