#include "check/MonitorState.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/NowText.h"

namespace lumo {
namespace {

using namespace std::chrono_literals;

TEST(MonitorStateTest, AStopWakesAPauseAndOutlivesANewStart) {
    MonitorState state;
    const auto generation = state.stopGeneration();
    EXPECT_FALSE(state.waitUnlessStopped(1ms, generation));

    const auto started = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        state.requestStop();
    });
    EXPECT_TRUE(state.waitUnlessStopped(30s, generation));
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);

    // Monitoring started again: the run that began before the stop stays stopped, a new one
    // does not.
    state.clearStop();
    EXPECT_FALSE(state.stopRequested);
    EXPECT_TRUE(state.stoppedSince(generation));
    EXPECT_FALSE(state.stoppedSince(state.stopGeneration()));
}

TEST(NowTextTest, WritesEveryNumberWithoutLeadingZeros) {
    std::tm local{};
    local.tm_year = 2014 - 1900;
    local.tm_mon = 10;
    local.tm_mday = 5;
    local.tm_hour = 9;
    local.tm_min = 3;
    local.tm_sec = 7;
    EXPECT_EQ(timeText(local), "2014-11-5 9:3:7");
    local.tm_isdst = -1;
    const auto at = std::chrono::system_clock::from_time_t(std::mktime(&local));
    EXPECT_EQ(nowText([at] { return at; }), "2014-11-5 9:3:7");
}

}  // namespace
}  // namespace lumo
