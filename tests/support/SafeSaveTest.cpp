// Saving under a folder: names that would leave it through a symbolic link or
// ".." are refused with nothing written anywhere; a save killed half-way leaves
// nothing visible; leftovers of dead processes are removed, others' are kept.
#include "support/SafeSave.h"
#include "capture/WavWriter.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Everything under root (recursively, symbolic links not followed), relative to it.
std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> s;
    for (const auto& e : fs::recursive_directory_iterator(root))
        s.insert(e.path().lexically_relative(root).string());
    return s;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
void Write(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Saves text as name below folder through SafeSave; true when it is in place.
bool Save(const fs::path& folder, const std::string& name, const std::string& text) {
    SafeSave s;
    const int fd = s.Begin(folder.string(), name);
    if (fd < 0) return false;
    const bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size()) && s.Commit(fd);
    close(fd);
    return ok;
}

// The id of a process that has ended (and been reaped).
pid_t DeadPid() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

WAVEFORMATEX Format8() {
    WAVEFORMATEX f{};
    f.wFormatTag = 1;
    f.nChannels = 1;
    f.nSamplesPerSec = f.nAvgBytesPerSec = 11025;
    f.nBlockAlign = 1;
    f.wBitsPerSample = 8;
    return f;
}

class SafeSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::path(::testing::TempDir()) /
               ("vok_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        folder = root / "folder";
        outside = root / "outside";
        fs::create_directories(folder / "real");
        fs::create_directories(outside / "deeper");
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root, folder, outside;
};

} // namespace

// A folder component that is a symbolic link (to a folder outside, or to one
// inside), "..", an absolute name or an empty last component: refused, and
// nothing appears in the folder or outside it.
TEST_F(SafeSaveTest, NamesThroughSymbolicLinksOrUpAreRefused) {
    fs::create_directory_symlink(outside, folder / "sub");
    fs::create_directory_symlink(folder / "real", folder / "inner-link");
    fs::create_directory_symlink(outside / "deeper", folder / "real" / "down");
    const std::set<std::string> before = Tree(root);
    for (const std::string name :
         {"sub/victim.wav", "sub/deeper/victim.wav", "inner-link/victim.wav",
          "real/down/victim.wav", "real/../victim.wav", "../outside/victim.wav", "/victim.wav",
          "real/", "", "..", "."}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Save(folder, name, "data"));
        EXPECT_EQ(WAVWriter().SaveIn(folder.string(), name, nullptr, nullptr, 0), 0);
        const WAVEFORMATEX f = Format8();
        EXPECT_EQ(WAVWriter().SaveIn(folder.string(), name, &f, "ab", 2), 0);
    }
    EXPECT_EQ(Tree(root), before);
    // Real folders on the way, "." and doubled slashes are fine.
    EXPECT_TRUE(Save(folder, "real/./in.wav", "in"));
    EXPECT_TRUE(Save(folder, "real//twice.wav", "2"));
    EXPECT_EQ(Read(folder / "real" / "in.wav"), "in");
    EXPECT_EQ(Read(folder / "real" / "twice.wav"), "2");
}

// The folder itself may be reached through a link; a final name that is a
// symbolic or hard link is replaced, what it pointed at stays as it was.
TEST_F(SafeSaveTest, FinalLinksAreReplacedNotFollowed) {
    Write(outside / "target.wav", "target");
    fs::create_symlink(outside / "target.wav", folder / "soft.wav");
    fs::create_hard_link(outside / "target.wav", folder / "hard.wav");
    fs::create_directory_symlink(folder, root / "folder-link");
    EXPECT_TRUE(Save(root / "folder-link", "soft.wav", "new soft"));
    EXPECT_TRUE(Save(folder, "hard.wav", "new hard"));
    EXPECT_EQ(Read(outside / "target.wav"), "target");
    EXPECT_FALSE(fs::is_symlink(folder / "soft.wav"));
    EXPECT_EQ(Read(folder / "soft.wav"), "new soft");
    EXPECT_EQ(Read(folder / "hard.wav"), "new hard");
    EXPECT_EQ(fs::hard_link_count(outside / "target.wav"), 1u);
}

// A save killed while writing its data (the file-size limit stops the write
// and the signal's handler kills the process outright, as kill -9 would):
// the earlier file is intact and nothing else is visible in the folder.
TEST_F(SafeSaveTest, SaveKilledHalfWayLeavesNothingVisible) {
    const std::string path = (folder / "c.wav").string();
    const WAVEFORMATEX f = Format8();
    const std::string good(300, 'g'), big(5000, 'b');
    ASSERT_EQ(WAVWriter().Save(path.c_str(), &f, good.data(), int(good.size())), 1);
    const std::string before = Read(path);

    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, [](int) { kill(getpid(), SIGKILL); });
        rlimit small{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &small);
        WAVWriter().Save(path.c_str(), &f, big.data(), int(big.size()));
        _exit(0); // not reached: the write beyond 1000 bytes kills the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(Read(path), before);
    EXPECT_EQ(Tree(folder), (std::set<std::string>{"c.wav", "real"}));
}

// Temporary names of processes that are gone are removed, before a save in
// that folder and by RemoveStale; those of this process or a running one,
// and names that only look alike, are kept.
TEST_F(SafeSaveTest, LeftoversOfDeadProcessesAreRemoved) {
    const std::string dead = std::to_string(DeadPid());
    const std::string self = std::to_string(getpid());
    const std::set<std::string> kept = {".vok-" + self + "-7.tmp", ".vok-1-3.tmp",
                                        ".vok-" + dead + ".tmp",   ".vok-" + dead + "-x.tmp",
                                        "vok-" + dead + "-1.tmp",  ".vok-" + dead + "-1.tmp~"};
    for (const auto& n : kept)
        Write(folder / n, "x");
    for (const auto& where : {folder, folder / "real"})
        Write(where / (".vok-" + dead + "-1.tmp"), "partial");

    EXPECT_TRUE(Save(folder, "real/a.wav", "a"));
    EXPECT_FALSE(fs::exists(folder / "real" / (".vok-" + dead + "-1.tmp")));
    EXPECT_TRUE(fs::exists(folder / (".vok-" + dead + "-1.tmp"))); // not where it saved

    EXPECT_EQ(SafeSave::RemoveStale(folder.string()), 1);
    std::set<std::string> expected = kept;
    expected.insert({"real", "real/a.wav"});
    EXPECT_EQ(Tree(folder), expected);
    EXPECT_EQ(SafeSave::RemoveStale((root / "missing").string()), 0);
}
