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
    EXPECT_TRUE(replaceFileAtomically(target.string(), "first").ok());
    EXPECT_EQ(read(target), "first");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string big(1 << 20, 'x');
    EXPECT_TRUE(replaceFileAtomically(target.string(), big).ok());
    EXPECT_EQ(read(target), big);
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(), 1u);  // no temporary file left
}

TEST_F(AtomicFileTest, AFailureLeavesTheTargetAndNoTemporaryFile) {
    const fs::path target = folder_ / "feed.xml";
    ASSERT_TRUE(replaceFileAtomically(target.string(), "kept").ok());
    // A folder in the target's place cannot be replaced by a file.
    const fs::path blocked = folder_ / "dir";
    fs::create_directory(blocked);
    const Status error = replaceFileAtomically(blocked.string(), "lost");
    EXPECT_EQ(error.kind(), Status::Kind::Refused);
    EXPECT_NE(error.reason().find("is not a regular file"), std::string::npos) << error.reason();
    EXPECT_EQ(entries(), 2u);
    EXPECT_FALSE(replaceFileAtomically((folder_ / "missing" / "feed.xml").string(), "x").ok());
    EXPECT_FALSE(replaceFileAtomically("", "x").ok());
    EXPECT_EQ(read(target), "kept");
}

TEST_F(AtomicFileTest, ALinkIsFollowedToItsTargetWhichIsReplacedInItsOwnFolder) {
    const fs::path real = folder_ / "real";
    const fs::path links = folder_ / "links";
    fs::create_directories(real);
    fs::create_directories(links);
    const fs::path target = real / "feed.xml";
    ASSERT_TRUE(replaceFileAtomically(target.string(), "old").ok());
    ASSERT_EQ(chmod(target.c_str(), 0604), 0);
    // A relative link is read from its own folder, through a second link.
    fs::create_symlink("../real/feed.xml", links / "first");
    fs::create_symlink("first", links / "second");
    EXPECT_TRUE(replaceFileAtomically((links / "second").string(), "new").ok());
    EXPECT_EQ(read(target), "new");
    EXPECT_TRUE(fs::is_symlink(links / "first") && fs::is_symlink(links / "second"));
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
    EXPECT_EQ(std::distance(fs::directory_iterator(real), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(links), fs::directory_iterator()), 2);

    // A dangling link gets its target made; a circle of links is refused.
    fs::create_symlink("../real/made.xml", links / "dangling");
    EXPECT_TRUE(replaceFileAtomically((links / "dangling").string(), "made").ok());
    EXPECT_EQ(read(real / "made.xml"), "made");
    fs::create_symlink("loop", links / "loop");
    EXPECT_FALSE(replaceFileAtomically((links / "loop").string(), "x").ok());
}

TEST_F(AtomicFileTest, APipeOrADeviceIsRefusedAndLeftAlone) {
    const fs::path pipe = folder_ / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // Never opened: a write into a pipe without a reader would wait for ever.
    EXPECT_NE(replaceFileAtomically(pipe.string(), "x").reason().find("is not a regular file"),
              std::string::npos);
    EXPECT_TRUE(fs::is_fifo(pipe));
    fs::create_symlink("/dev/null", folder_ / "null");
    EXPECT_FALSE(replaceFileAtomically((folder_ / "null").string(), "x").ok());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(entries(), 2u);
}

}  // namespace
}  // namespace lumo
