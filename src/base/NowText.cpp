#include "base/NowText.h"

#include "base/TextOps.h"

namespace lumo {

Text timeText(const std::tm& local) {
    return textOfInteger(local.tm_year + 1900) + "-" + textOfInteger(local.tm_mon + 1) + "-" +
           textOfInteger(local.tm_mday) + " " + textOfInteger(local.tm_hour) + ":" +
           textOfInteger(local.tm_min) + ":" + textOfInteger(local.tm_sec);
}

Text nowText(const Clock& clock) {
    const auto now = clock ? clock() : std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    return timeText(local);
}

}  // namespace lumo
