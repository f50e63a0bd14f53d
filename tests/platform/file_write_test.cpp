#include "platform/file_write.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_lock.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path fresh_folder(const char* name) {
    const fs::path dir = fs::path(testing::TempDir()) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// A process id that no longer runs: a child that has ended and been reaped.
pid_t ended_process() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// A link is followed and its target keeps its mode; the temporary files
// of writers that no longer run are removed by the next write in the
// folder, those of a writer still running and other files are kept.
TEST(ReplaceFileContents, KeepsLinksAndModeAndRemovesDeadWritersLeftovers) {
    const fs::path dir = fresh_folder("replace_file_contents");
    std::ofstream(dir / "target.qzf") << "old";
    chmod((dir / "target.qzf").c_str(), 0640);
    fs::create_symlink("target.qzf", dir / "link.qzf");
    const std::string dead = ".qzotool-" + std::to_string(ended_process()) + "-7";
    const std::string alive = ".qzotool-" + std::to_string(getppid()) + "-7";
    for (const std::string& name : {dead, alive, std::string(".qzotool-x-7"), std::string("keep.qzf")})
        std::ofstream(dir / name) << "left";

    ASSERT_EQ(replace_file_contents((dir / "link.qzf").string(), "new"), 0u);
    EXPECT_TRUE(fs::is_symlink(dir / "link.qzf"));
    EXPECT_EQ(contents(dir / "target.qzf"), "new");
    struct stat status {};
    ASSERT_EQ(stat((dir / "target.qzf").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_FALSE(fs::exists(dir / dead));
    for (const std::string& kept : {alive, std::string(".qzotool-x-7"), std::string("keep.qzf")})
        EXPECT_TRUE(fs::exists(dir / kept)) << kept;

    // A folder that is not there: the error, and nothing written.
    EXPECT_NE(replace_file_contents((dir / "none" / "x.qzf").string(), "new"), 0u);
}

TEST(FileLock, OneHolderAtATimeAndTheSameHolderAgain) {
    const std::string path = (fs::path(testing::TempDir()) / "locked.qzf").string();
    FileLock first = FileLock::take(path, 11);
    ASSERT_TRUE(first.held());
    const FileLock other = FileLock::take(path, 22);
    EXPECT_FALSE(other.held());
    EXPECT_EQ(other.other(), 11u);
    EXPECT_TRUE(FileLock::take(path, 11).held());
    first = FileLock();
    EXPECT_TRUE(FileLock::take(path, 22).held());
}

}  // namespace
}  // namespace qz
