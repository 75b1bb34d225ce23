#include "base/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempFolder.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    static std::string read(const fs::path& path) { return test::TempFolder::read(path); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    test::TempFolder temp_{"lumo-atomic"};
    const fs::path folder_ = temp_.path();
};

TEST_F(AtomicFileTest, ReplacesTheWholeFileAndKeepsItsMode) {
    const fs::path target = folder_ / "feed.xml";
    EXPECT_EQ(replaceFileAtomically(target.string(), "first"), "");
    EXPECT_EQ(read(target), "first");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string big(1 << 20, 'x');
    EXPECT_EQ(replaceFileAtomically(target.string(), big), "");
    EXPECT_EQ(read(target), big);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(), 1u);  // no temporary file left
}

TEST_F(AtomicFileTest, AFailureLeavesTheTargetAndNoTemporaryFile) {
    const fs::path target = folder_ / "feed.xml";
    ASSERT_EQ(replaceFileAtomically(target.string(), "kept"), "");
    // A folder in the target's place cannot be replaced by a file.
    const fs::path blocked = folder_ / "dir";
    fs::create_directory(blocked);
    const std::string error = replaceFileAtomically(blocked.string(), "lost");
    EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
    EXPECT_EQ(entries(), 2u);
    EXPECT_NE(replaceFileAtomically((folder_ / "missing" / "feed.xml").string(), "x"), "");
    EXPECT_NE(replaceFileAtomically("", "x"), "");
    EXPECT_EQ(read(target), "kept");
}

}  // namespace
}  // namespace lumo
