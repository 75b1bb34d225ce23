#pragma once

#include <chrono>
#include <ctime>

namespace lumo::test {

// The local time 2014-11-5 9:3:7, for clocks that tests inject; kFixedTimeText is its time text.
inline std::chrono::system_clock::time_point fixedTime() {
    std::tm local{};
    local.tm_year = 2014 - 1900;
    local.tm_mon = 10;
    local.tm_mday = 5;
    local.tm_hour = 9;
    local.tm_min = 3;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

inline constexpr const char* kFixedTimeText = "2014-11-5 9:3:7";

}  // namespace lumo::test
