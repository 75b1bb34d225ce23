#include <filesystem>

#include "cli/CliTestBase.h"
#include "support/TempFolder.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

// lumo-cli reaches libcurl only through the module lumo_page_fetch beside it, loaded at the first
// fetch, and only through a module of its own build.
class CliFetchModuleTest : public CliTestBase {
protected:
    // lumo-cli copied into a folder of its own with `module` beside it; the copy's path.
    std::string cliBeside(const std::string& module) {
        const fs::path cli = folder.path() / "lumo-cli";
        fs::copy_file(binary(), cli, fs::copy_options::overwrite_existing);
        fs::copy_file(module, folder.path() / "lumo_page_fetch.so",
                      fs::copy_options::overwrite_existing);
        return cli.string();
    }

    ChildProcess::Result runCopy(const std::string& cli, std::vector<std::string> arguments,
                                 std::vector<std::string> environment = {}) {
        arguments.insert(arguments.begin(), {"--db", db.path()});
        return ChildProcess::run(cli, arguments, environment);
    }

    TempFolder folder;
};

TEST_F(CliFetchModuleTest, AModuleOfAnotherBuildIsRefusedAndNothingIsFetched) {
    const std::string id = std::to_string(addBoardPlan(205, 4));
    const std::pair<std::string, std::string> stale[] = {
        {LUMO_OTHER_VERSION_MODULE, "it was built for lumo 0.9, module interface 1, and this is "},
        {LUMO_UNSTAMPED_MODULE, "it was built by an older Lumo (it has no build stamp)"}};
    for (const auto& [module, why] : stale) {
        const auto refused = runCopy(cliBeside(module), {"test", id});
        EXPECT_NE(refused.exitCode, 0) << module;
        EXPECT_NE(refused.err.find("lumo_page_fetch.so is not used: " + why), std::string::npos)
            << refused.err;
        EXPECT_NE(refused.err.find("lumo-cli: no page can be fetched"), std::string::npos);
    }
    EXPECT_EQ(server.requestCount(), 0u);

    const auto fetched = runCopy(cliBeside(LUMO_PAGE_FETCH_MODULE), {"test", id});
    EXPECT_EQ(fetched.exitCode, 0) << fetched.err;
    EXPECT_EQ(server.requestCount(), 1u);
}

}  // namespace
}  // namespace lumo::test
