#include "store/InstallLayout.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "store/DatabaseConnection.h"
#include "store/EmptyDatabase.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;

class InstallLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lumo-layout-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        fs::create_directories(folder_ / "prefix" / "bin");
    }
    void TearDown() override { fs::remove_all(folder_); }

    InstallLayout::Environment environment(std::map<std::string, std::string> values) {
        return [values](const std::string& name) -> std::optional<std::string> {
            const auto found = values.find(name);
            if (found == values.end()) return std::nullopt;
            return found->second;
        };
    }

    fs::path folder_;
};

TEST_F(InstallLayoutTest, OnlyTheRecordedProgramFolderIsTheInstalledLayout) {
    const fs::path bin = folder_ / "prefix" / "bin";
    EXPECT_EQ(InstallLayout::kindOf(bin, bin), InstallLayout::Kind::Installed);
    EXPECT_EQ(InstallLayout::kindOf(folder_ / "prefix" / "." / "bin" / "", bin),
              InstallLayout::Kind::Installed);
    // A link to the installed folder counts by where it leads.
    fs::create_directory_symlink(bin, folder_ / "link");
    EXPECT_EQ(InstallLayout::kindOf(folder_ / "link", bin), InstallLayout::Kind::Installed);
    EXPECT_EQ(InstallLayout::kindOf(folder_ / "prefix", bin), InstallLayout::Kind::Portable);
    EXPECT_EQ(InstallLayout::kindOf(folder_ / "build", bin), InstallLayout::Kind::Portable);
    EXPECT_EQ(InstallLayout::kindOf(bin, {}), InstallLayout::Kind::Portable);
    EXPECT_TRUE(InstallLayout::recordedProgramFolder().is_absolute());
}

TEST_F(InstallLayoutTest, TheDefaultDatabaseIsBesideAPortableProgramAndInTheUserDataFolderElse) {
    const fs::path bin = folder_ / "prefix" / "bin";
    const auto env = environment({{"XDG_DATA_HOME", "/data"}, {"HOME", "/home/u"}});
    EXPECT_EQ(InstallLayout::defaultDatabasePath(folder_ / "build", bin, env),
              folder_ / "build" / "lumo.sdb");
    EXPECT_EQ(InstallLayout::defaultDatabasePath(bin, bin, env), "/data/lumo/lumo.sdb");
    // An empty or relative XDG_DATA_HOME is ignored, as the base directory rules say.
    for (const char* ignored : {"", "relative/data"}) {
        EXPECT_EQ(InstallLayout::defaultDatabasePath(
                      bin, bin, environment({{"XDG_DATA_HOME", ignored}, {"HOME", "/home/u"}})),
                  "/home/u/.local/share/lumo/lumo.sdb");
    }
    EXPECT_EQ(InstallLayout::defaultDatabasePath(bin, bin, environment({})), fs::path());
}

TEST_F(InstallLayoutTest, AnEmptyDatabaseIsMadeWholeAndNeverReplacesAFile) {
    const std::string path = (folder_ / "lumo.sdb").string();
    ASSERT_TRUE(createEmptyDatabase(path).ok());
    DatabaseConnection database;
    ASSERT_TRUE(database.open(path));
    EXPECT_EQ(database.query("select * from rule").columns.size(), 20u);
    EXPECT_EQ(database.query("select * from info").columns.size(), 8u);
    EXPECT_TRUE(database.execute("insert into info(title) values('kept')"));
    database.close();

    EXPECT_NE(createEmptyDatabase(path).reason().find("exists already"), std::string::npos);
    ASSERT_TRUE(database.open(path));
    EXPECT_EQ(database.query("select title from info").rows.size(), 1u);
    database.close();

    // A schema that fails leaves nothing behind under either name.
    const std::string broken = (folder_ / "broken.sdb").string();
    EXPECT_FALSE(createDatabaseFromSchema(broken, "create table x(; ").ok());
    EXPECT_FALSE(createEmptyDatabase((folder_ / "missing" / "lumo.sdb").string()).ok());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++entries;
    EXPECT_EQ(entries, 2u);  // prefix/ and lumo.sdb
}

}  // namespace
}  // namespace lumo
