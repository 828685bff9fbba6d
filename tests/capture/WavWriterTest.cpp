// WAV files: the exact byte layout, replacement of an earlier file, and
// failures that must leave an earlier file as it was.
#include "capture/WavWriter.h"
#include "AudioTestEnv.h"
#include "capture/CaptureTypes.h"
#include "capture/WavReader.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace audiotest;
namespace fs = std::filesystem;

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
std::string Tag(const std::vector<uint8_t>& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

// The files in dir other than the given names.
std::vector<std::string> OtherFiles(const fs::path& dir, const std::vector<std::string>& keep) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::string name = e.path().filename().string();
        if (std::find(keep.begin(), keep.end(), name) == keep.end()) out.push_back(name);
    }
    return out;
}

class WavWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(TempDir()) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(dir);
        fmt = MakeWaveFormat(RATE_11025, SAMPLE_8BIT);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    fs::path dir;
    WAVEFORMATEX fmt{};
};

} // namespace

// Header fields at their offsets, the data as given, the pad byte for odd N.
// Each save replaces the file of the one before (longer ones with shorter),
// and no other file is left behind.
TEST_F(WavWriterTest, LayoutForEvenAndOddSizesAndReplacement) {
    const std::string path = (dir / "item.wav").string();
    for (int n : {2205, 0, 2204, 1}) {
        SCOPED_TRACE(n);
        std::vector<uint8_t> data = Pattern(size_t(n), unsigned(n));
        WAVWriter w;
        ASSERT_EQ(w.Save(path.c_str(), &fmt, n ? data.data() : nullptr, n), 1);
        EXPECT_EQ(w.m_hmmio, nullptr);

        std::vector<uint8_t> b = ReadBytes(path);
        const size_t pad = size_t(n) & 1;
        ASSERT_EQ(b.size(), 46 + size_t(n) + pad);
        EXPECT_EQ(Tag(b, 0) + Tag(b, 8) + Tag(b, 12) + Tag(b, 38), "RIFFWAVEfmt data");
        EXPECT_EQ(Le32(b, 4), 38u + unsigned(n) + pad);
        EXPECT_EQ(Le32(b, 16), 18u);
        // PCM, mono, rate, bytes per second, block, bits, cbSize.
        EXPECT_EQ((std::vector<unsigned>{Le16(b, 20), Le16(b, 22), Le32(b, 24), Le32(b, 28),
                                         Le16(b, 32), Le16(b, 34), Le16(b, 36)}),
                  (std::vector<unsigned>{1, 1, 11025, 11025, 1, 8, 0}));
        EXPECT_EQ(Le32(b, 42), unsigned(n));
        EXPECT_TRUE(std::equal(data.begin(), data.end(), b.begin() + 46));
        if (pad) {
            EXPECT_EQ(b.back(), 0);
        }
        EXPECT_TRUE(OtherFiles(dir, {"item.wav"}).empty());
    }
}

// The whole format record is written as given; the reader of the family's
// files takes it back unchanged.
TEST_F(WavWriterTest, FormatRecordIsWrittenAsGivenAndReadsBack) {
    WAVEFORMATEX f = MakeWaveFormat(RATE_44100, SAMPLE_16BIT);
    f.cbSize = 0x1234;
    std::vector<uint8_t> data = Pattern(1001, 7);
    std::string path = (dir / "b.wav").string();
    ASSERT_EQ(WAVWriter().Save(path.c_str(), &f, data.data(), int(data.size())), 1);
    std::vector<uint8_t> b = ReadBytes(path);
    EXPECT_EQ(Le32(b, 24), 44100u);
    EXPECT_EQ(Le32(b, 28), 88200u);
    EXPECT_EQ(Le16(b, 32), 2);
    EXPECT_EQ(Le16(b, 34), 16);
    EXPECT_EQ(Le16(b, 36), 0x1234);

    WAVReader r;
    ASSERT_EQ(r.Load(path), 1) << r.Error();
    EXPECT_EQ(r.nSamplesPerSec, 44100u);
    EXPECT_EQ(r.wBitsPerSample, 16);
    EXPECT_EQ(r.data, data);
}

// Bad arguments, a missing folder and a folder in the way fail, leave an
// earlier file as it was and create nothing.
TEST_F(WavWriterTest, BadArgumentsAndTargetsFailWithoutTouchingAnything) {
    const std::string path = (dir / "e.wav").string();
    std::vector<uint8_t> good = Pattern(50);
    ASSERT_EQ(WAVWriter().Save(path.c_str(), &fmt, good.data(), 50), 1);
    const std::vector<uint8_t> before = ReadBytes(path);
    fs::create_directories(dir / "g.wav" / "inside");
    const std::string missing = (dir / "no-such-folder" / "d.wav").string();
    const std::string folder = (dir / "g.wav").string();
    WAVWriter w;
    EXPECT_EQ(w.Save(path.c_str(), &fmt, nullptr, 10), 0);
    EXPECT_EQ(w.Save(path.c_str(), &fmt, good.data(), -1), 0);
    EXPECT_EQ(w.Save(path.c_str(), nullptr, good.data(), 50), 0);
    EXPECT_EQ(w.Save(nullptr, &fmt, good.data(), 50), 0);
    EXPECT_EQ(w.Save("", &fmt, good.data(), 50), 0);
    EXPECT_EQ(w.Save(missing.c_str(), &fmt, good.data(), 50), 0);
    EXPECT_EQ(w.Save(folder.c_str(), &fmt, good.data(), 50), 0);
    EXPECT_EQ(w.m_hmmio, nullptr);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
    EXPECT_TRUE(fs::is_directory(dir / "g.wav" / "inside"));
    EXPECT_TRUE(OtherFiles(dir, {"e.wav", "g.wav"}).empty());
}

// A write that fails half-way (the process may write no more than 1000 bytes
// into a file) leaves the earlier file intact and no partial file behind.
TEST_F(WavWriterTest, FailedWriteKeepsTheEarlierFile) {
    std::string path = (dir / "f.wav").string();
    std::vector<uint8_t> good = Pattern(500, 3);
    ASSERT_EQ(WAVWriter().Save(path.c_str(), &fmt, good.data(), 500), 1);
    const std::vector<uint8_t> before = ReadBytes(path);

    std::vector<uint8_t> big = Pattern(100000, 4);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = WAVWriter().Save(path.c_str(), &fmt, big.data(), int(big.size()));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(OtherFiles(dir, {"f.wav"}).empty());
}

// In a folder without write permission nothing can be created or replaced.
TEST_F(WavWriterTest, ReadOnlyFolderKeepsTheEarlierFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
    std::string path = (dir / "h.wav").string();
    std::vector<uint8_t> good = Pattern(20);
    ASSERT_EQ(WAVWriter().Save(path.c_str(), &fmt, good.data(), 20), 1);
    const std::vector<uint8_t> before = ReadBytes(path);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    std::vector<uint8_t> other = Pattern(40);
    EXPECT_EQ(WAVWriter().Save(path.c_str(), &fmt, other.data(), 40), 0);
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(OtherFiles(dir, {"h.wav"}).empty());
}
