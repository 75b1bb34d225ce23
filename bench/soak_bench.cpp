// A day of monitoring in minutes: the rounds engine of the core runs ROUNDS rounds (default
// 10,000) with its waits shortened to a millisecond, over three plans against a local board
// server in a child process:
//   1. a board page whose newest thread changes every tenth request (new articles are stored in
//      a temporary lumo.sdb, the plan's marker moves on, the plan list is reloaded),
//   2. a server that answers "500 Internal Server Error" with an empty body,
//   3. an address where nothing listens (the connection is refused).
// It prints this process's resident memory (VmRSS) and its number of open file descriptors
// after round 1,000 and after the last round, and their differences; the server's own memory and
// descriptors belong to the child and count for nothing.
//
//   soak_bench [ROUNDS]
//
// The engine runs on an event loop of the benchmark's own (Timers and WindowThread).
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <netinet/in.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "base/AllocatorSettings.h"
#include "curl/CurlPageFetcher.h"
#include "monitor/MonitorEngine.h"
#include "monitor/NewContentNotifier.h"
#include "monitor/ProcessorPlanRunner.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"
#include "suggest/NullCutRegionSink.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"
#include "testkit/QuietSeams.h"

namespace {

using lumo::MonitorPlan;
using lumo::Text;
using lumo::TextList;
using lumo::test::BoardPage;
using Clock = std::chrono::steady_clock;

// One thread's timers and posted work, run until quit(). Timers fire in due order.
class EventLoop : public lumo::Timers, public lumo::WindowThread {
public:
    Id startOnce(std::int64_t milliseconds, std::function<void()> fire) override {
        const Id id = nextId_++;
        timers_.emplace(
            id, Timer{Clock::now() + std::chrono::milliseconds(milliseconds), std::move(fire)});
        return id;
    }
    void cancel(Id id) override { timers_.erase(id); }
    void post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(work));
        wake_.notify_one();
    }
    void quit() { running_ = false; }

    void run() {
        while (running_) {
            runPosted();
            auto next = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it)
                if (next == timers_.end() || it->second.due < next->second.due) next = it;
            if (next != timers_.end() && next->second.due <= Clock::now()) {
                auto fire = std::move(next->second.fire);
                timers_.erase(next);
                fire();
                continue;
            }
            std::unique_lock lock(mutex_);
            const auto until = next == timers_.end() ? Clock::now() + std::chrono::milliseconds(50)
                                                     : next->second.due;
            wake_.wait_until(lock, until, [this] { return !posted_.empty(); });
        }
    }

private:
    struct Timer {
        Clock::time_point due;
        std::function<void()> fire;
    };

    void runPosted() {
        std::deque<std::function<void()>> work;
        {
            std::lock_guard lock(mutex_);
            work.swap(posted_);
        }
        for (auto& w : work) w();
    }

    bool running_ = true;
    Id nextId_ = 1;
    std::map<Id, Timer> timers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
};

// The plan list: the rows of `rule` as stored, read again after every round with new articles.
class DatabaseView : public lumo::MonitorInputs, public lumo::MonitorEvents {
public:
    explicit DatabaseView(lumo::DatabaseConnection& database) : database_(database) {
        reloadPlanList();
    }
    Text frequencyText() const override { return "60"; }
    bool autoMonitorChecked() const override { return true; }
    std::vector<int> checkedPlanRows() const override {
        std::vector<int> rows;
        for (std::size_t r = 0; r < rows_.size(); ++r) rows.push_back(static_cast<int>(r));
        return rows;
    }
    TextList planRowTexts(int row) const override {
        return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row] : TextList{};
    }
    void roundEnded(bool newArticles) override {
        if (!newArticles) return;
        countArticles();
        reloadPlanList();
    }
    void countArticles() {
        articleCount = database_.query("select count(*) from info").rows.at(0).at(0);
    }
    void reloadPlanList() { rows_ = database_.query("select * from rule").rows; }

    Text articleCount = "0";

private:
    lumo::DatabaseConnection& database_;
    std::vector<TextList> rows_;
};

// Keeps the last 4 KB, as a status box that is cleared every round keeps little.
class ShortLog : public lumo::StatusLog {
public:
    void append(const Text& piece) override {
        std::lock_guard lock(mutex_);
        content_ += piece;
        if (content_.size() > 4096) content_.erase(0, content_.size() - 4096);
    }
    void replace(const Text& content) override {
        {
            std::lock_guard lock(mutex_);
            content_ = content;
        }
        if (onRoundEnd) onRoundEnd();  // the round line replaces the box once a round
    }
    std::function<void()> onRoundEnd;

private:
    std::mutex mutex_;
    Text content_;
};

class NoAlerts : public lumo::AlertSurface {
public:
    bool soundAlertEnabled() const override { return false; }
    bool iconAlertEnabled() const override { return false; }
    void playAlertSound() override {}
    void showTrayIcon(lumo::TrayIconKind) override {}
};

struct Usage {
    long rssKb = 0;
    int fds = 0;
};

Usage usageNow() {
    Usage usage;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) usage.rssKb = std::atol(line.c_str() + 6);
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++usage.fds;
    return usage;
}

// The board server in a child process, so its threads, memory and connections stay out of the
// figures. Returns the child's id and writes its port.
pid_t startServer(int& port) {
    int ports[2];
    if (pipe(ports) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(ports[0]);
        lumo::test::LocalHttpServer server;
        std::atomic<int> requests{0};
        server.route("/board", [&requests](const lumo::test::ReceivedRequest&) {
            const int newest = 150 + requests++ / 10;
            lumo::test::ServedResponse response;
            response.headerLines = {"Content-Type: text/html; charset=utf-8"};
            response.body = BoardPage::utf8Page(BoardPage::threads(newest, 50), 1000);
            return response;
        });
        server.route("/broken", [](const lumo::test::ReceivedRequest&) {
            lumo::test::ServedResponse response;
            response.status = 500;
            response.reason = "Internal Server Error";
            return response;
        });
        const int p = server.port();
        if (write(ports[1], &p, sizeof p) != sizeof p) _exit(1);
        pause();
        _exit(0);
    }
    close(ports[1]);
    if (read(ports[0], &port, sizeof port) != sizeof port) std::exit(1);
    close(ports[0]);
    return child;
}

// A port on 127.0.0.1 where nothing listens: bound once, then let go.
int refusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();  // as the program does
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int firstMark = std::min(1000, rounds);
    int port = 0;
    const pid_t server = startServer(port);
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    lumo::test::TempDatabase file;
    lumo::DatabaseConnection& database = file.database();
    MonitorPlan board = BoardPage::plan(base + "/board", false, "0");
    MonitorPlan broken = BoardPage::plan(base + "/broken", false, "0");
    MonitorPlan refused =
        BoardPage::plan("http://127.0.0.1:" + std::to_string(refusedPort()) + "/", false, "8");
    file.addPlan(board);
    file.addPlan(broken);
    file.addPlan(refused);

    EventLoop loop;
    ShortLog log;
    lumo::testkit::SilentMessages messages;
    lumo::NullCutRegionSink cutRegion;
    NoAlerts alerts;
    lumo::MonitorState state;
    lumo::SqlRunner sql(database, log, messages);
    lumo::CurlPageFetcher fetcher;
    lumo::ProcessorPlanRunner runner(fetcher, sql, log, cutRegion, state,
                                     std::chrono::milliseconds(0));
    DatabaseView view(database);
    lumo::NewContentNotifier notifier(alerts, log, state);
    lumo::MonitorEngine::Options options;
    options.timings.heartbeat = std::chrono::milliseconds(1);
    options.timings.gap = std::chrono::milliseconds(0);
    options.timings.perSecondOfFrequency = std::chrono::milliseconds(0);
    options.timings.insertPause = std::chrono::milliseconds(0);
    options.timings.previousWorkerPoll = std::chrono::milliseconds(1);
    options.windowThread = &loop;
    lumo::MonitorEngine engine(view, view, notifier, log, messages, loop, state, runner, options);

    int round = 0;
    Usage atFirstMark;
    const auto started = Clock::now();
    log.onRoundEnd = [&] {
        ++round;
        if (round == firstMark) atFirstMark = usageNow();
        if (round % 1000 == 0) {
            const Usage now = usageNow();
            std::printf("round %5d: VmRSS %6ld KB, %3d fds, %s articles stored, %.0f s\n", round,
                        now.rssKb, now.fds, view.articleCount.c_str(),
                        std::chrono::duration<double>(Clock::now() - started).count());
            std::fflush(stdout);
        }
        if (round == rounds) {
            loop.post([&] {
                engine.onRunClicked();  // stop
                loop.quit();
            });
        }
    };
    loop.post([&] { engine.onRunClicked(); });
    loop.run();
    const Usage atEnd = usageNow();

    std::printf("after round %d: VmRSS %ld KB, %d fds\n", firstMark, atFirstMark.rssKb,
                atFirstMark.fds);
    std::printf("after round %d: VmRSS %ld KB, %d fds\n", rounds, atEnd.rssKb, atEnd.fds);
    view.countArticles();
    std::printf("articles stored: %s\n", view.articleCount.c_str());
    std::printf("difference: %+ld KB, %+d fds\n", atEnd.rssKb - atFirstMark.rssKb,
                atEnd.fds - atFirstMark.fds);
    engine.shutdown(std::chrono::milliseconds(5000));
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    return 0;
}
