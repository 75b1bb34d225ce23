// The terminal edge and the asio timers of lumo-cli, in process.
#include <gtest/gtest.h>

#include <boost/asio/io_context.hpp>
#include <cstdio>
#include <string>
#include <thread>

#include "base/GbkCodec.h"
#include "cli/AsioMainThread.h"
#include "cli/AsioTimers.h"
#include "cli/TerminalOutput.h"

namespace lumo::cli {
namespace {

using namespace std::chrono_literals;

std::string contentOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string content;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        content.append(buffer, n);
    }
    return content;
}

TEST(TerminalOutputTest, LogPiecesBecomeUtf8LinesWithoutBlankOnes) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    {
        TerminalOutput output(out, err);
        output.piece(gbk("\r\n开始访问任务1的网页----"));
        output.piece(gbk("出错！"));
        output.line(gbk("已执行一轮"));
        output.piece(gbk("\r\n执行完毕！"));
        output.error(gbk("数据库文件不存在！"));
        output.seal();
        output.piece("\r\nafter the stop");
        output.utf8Line("after the stop");
    }
    EXPECT_EQ(contentOf(out), "开始访问任务1的网页----出错！\n已执行一轮\n执行完毕！\n");
    EXPECT_EQ(contentOf(err), "数据库文件不存在！\n");
    std::fclose(out);
    std::fclose(err);
}

TEST(TerminalOutputTest, ControlsLeaveEscapedAsJsonWritesThem) {
    // C1 (here CSI, U+009B) and DEL are escaped as JSON would, so a JSON document stays valid.
    EXPECT_EQ(TerminalOutput::visibleControls("a\xc2\x9b"
                                              "1m\x7f\t\n\xc2\xa0"),
              "a\\u009b1m\\u007f\t\n\xc2\xa0");
    EXPECT_EQ(TerminalOutput::visibleControls("\t\n", false), "\\u0009\\u000a");
}

TEST(AsioTimersTest, FireInOrderAndNeverAfterCancel) {
    boost::asio::io_context context;
    AsioTimers timers(context);
    std::string fired;
    timers.startOnce(20, [&] { fired += "b"; });
    timers.startOnce(0, [&] { fired += "a"; });
    const Timers::Id cancelled = timers.startOnce(10, [&] { fired += "x"; });
    timers.cancel(cancelled);
    timers.cancel(cancelled);  // harmless twice
    context.run();
    EXPECT_EQ(fired, "ab");
    EXPECT_EQ(timers.pendingCount(), 0u);
}

TEST(AsioTimersTest, ACancelledTimerWhoseHandlerWasQueuedDoesNotFire) {
    boost::asio::io_context context;
    AsioTimers timers(context);
    bool late = false;
    Timers::Id second = 0;
    // Both expire before the context looks; the first cancels the second, already queued.
    timers.startOnce(0, [&] { timers.cancel(second); });
    second = timers.startOnce(0, [&] { late = true; });
    std::this_thread::sleep_for(5ms);
    context.run();
    EXPECT_FALSE(late);
}

TEST(AsioMainThreadTest, WorkPostedFromAnotherThreadRunsOnTheContextsThread) {
    boost::asio::io_context context;
    AsioMainThread mainThread(context);
    std::thread::id ranOn;
    std::thread poster([&] { mainThread.post([&] { ranOn = std::this_thread::get_id(); }); });
    poster.join();
    context.run();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace lumo::cli
