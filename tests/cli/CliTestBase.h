#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "cli/ChildProcess.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

namespace lumo::test {

// Drives the real lumo-cli binary against a temporary lumo.sdb and a local board page.
class CliTestBase : public ::testing::Test {
protected:
    static std::string binary() { return LUMO_CLI_BINARY; }

    // Waits shortened for tests: heartbeat 100 ms, gap 50 ms, 10 ms per second of frequency,
    // 5 ms after an insert.
    static std::string fastTimings(const std::string& value = "100,50,10,5") {
        return "LUMO_CLI_TEST_TIMINGS=" + value;
    }

    // lumo-cli --db <the temporary database> arguments...
    ChildProcess::Result cli(std::vector<std::string> arguments,
                             std::vector<std::string> environment = {}) {
        arguments.insert(arguments.begin(), {"--db", db.path()});
        environment.push_back(fastTimings());
        return ChildProcess::run(binary(), arguments, environment);
    }

    // A board plan on this test's server, stored; its id.
    int addBoardPlan(int newestId, int count, const std::string& path = "/board",
                     bool ticked = true) {
        server.page(path, BoardPage::gbkPage(BoardPage::threads(newestId, count)));
        MonitorPlan plan = BoardPage::plan(server.url(path), true);
        plan[MonitorPlan::isdo] = ticked ? "1" : "0";
        return db.addPlan(plan);
    }

    // How many times each thread id was stored (the id is the address's number).
    std::map<int, int> storedThreadCounts() {
        std::map<int, int> counts;
        for (const ArticleRecord& article : db.articles()) {
            const std::string& url = article[ArticleRecord::url];
            const std::size_t at = url.find("thread-");
            if (at != std::string::npos) ++counts[std::atoi(url.c_str() + at + 7)];
        }
        return counts;
    }

    static std::string fileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }

    static std::string utf8(const Text& text) { return gbkToUtf8(text); }

    TempDatabase db;
    LocalHttpServer server;
};

}  // namespace lumo::test
