// Runs `vokrec analyse` on the sample recording and on malformed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct Result {
    bool exited = false;
    int status = -1;
    std::string out, err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The test binary's folder, which is the build folder.
fs::path BuildDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// $VOKREC, else the vokrec built beside this test.
std::string VokrecPath() {
    if (const char* v = std::getenv("VOKREC"); v && *v) return v;
    const fs::path p = BuildDir() / "vokrec";
    return fs::exists(p) ? p.string() : std::string();
}

// $VOK_TEST_DATA, else tests/data of the source tree above the build folder.
fs::path TestData() {
    if (const char* v = std::getenv("VOK_TEST_DATA"); v && *v) return v;
    return BuildDir().parent_path() / "tests" / "data";
}

class AnalyseCli : public ::testing::Test {
  protected:
    fs::path dir;
    std::string vokrec;

    void SetUp() override {
        vokrec = VokrecPath();
        ASSERT_FALSE(vokrec.empty()) << "vokrec not found: set VOKREC";
        dir = fs::temp_directory_path() /
              ("vok-analyse-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (!dir.empty()) fs::remove_all(dir);
    }

    Result Run(const std::vector<std::string>& args) {
        std::string cmd = Quote(vokrec) + " analyse";
        for (const std::string& a : args)
            cmd += " " + Quote(a);
        cmd += " >" + Quote((dir / "out").string()) + " 2>" + Quote((dir / "err").string());
        const int rc = std::system(cmd.c_str());
        Result r;
        r.exited = rc != -1 && WIFEXITED(rc);
        r.status = r.exited ? WEXITSTATUS(rc) : -1;
        r.out = ReadFile(dir / "out");
        r.err = ReadFile(dir / "err");
        return r;
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p.string();
    }

    // A bad file: status 2, nothing on stdout, one line on stderr naming the problem.
    void ExpectRejected(const std::string& path, const std::string& problem) {
        Result r = Run({path});
        ASSERT_TRUE(r.exited) << path;
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(r.out, "") << path;
        ASSERT_FALSE(r.err.empty()) << path;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << r.err;
    }
};

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A canonical 44-byte-header WAV file around data.
std::vector<uint8_t> Wav(const std::vector<uint8_t>& data, uint16_t channels = 1,
                         uint32_t rate = 11025, uint16_t bits = 8, uint16_t tag = 1) {
    std::vector<uint8_t> b(44 + data.size());
    std::memcpy(&b[0], "RIFF", 4);
    Put32(b, 4, uint32_t(36 + data.size()));
    std::memcpy(&b[8], "WAVEfmt ", 8);
    Put32(b, 16, 16);
    Put16(b, 20, tag);
    Put16(b, 22, channels);
    Put32(b, 24, rate);
    const uint16_t align = uint16_t(channels * bits / 8);
    Put32(b, 28, rate * align);
    Put16(b, 32, align);
    Put16(b, 34, bits);
    std::memcpy(&b[36], "data", 4);
    Put32(b, 40, uint32_t(data.size()));
    std::copy(data.begin(), data.end(), b.begin() + 44);
    return b;
}

// seconds of silence at 128 with a loud square burst from t0 to t1.
std::vector<uint8_t> Speech(double seconds, double t0, double t1) {
    std::vector<uint8_t> d(size_t(seconds * 11025), 128);
    for (size_t i = 0; i < d.size(); ++i) {
        const double t = double(i) / 11025;
        if (t >= t0 && t < t1) d[i] = (i / 20) % 2 ? 200 : 56;
    }
    return d;
}

// The value of a field of the one-line JSON object, as text.
std::string Field(const std::string& json, const std::string& name) {
    std::smatch m;
    const std::regex re("\"" + name + "\":(\"[^\"]*\"|[^,}]+)");
    return std::regex_search(json, m, re) ? m[1].str() : std::string();
}
double Number(const std::string& json, const std::string& name) {
    const std::string f = Field(json, name);
    EXPECT_FALSE(f.empty()) << name << " missing in " << json;
    return f.empty() ? NAN : std::stod(f);
}
} // namespace

TEST_F(AnalyseCli, SampleRecordingIsLocated) {
    const std::string sample = (TestData() / "sample.wav").string();
    ASSERT_TRUE(fs::exists(sample)) << sample;
    Result r = Run({sample});
    ASSERT_TRUE(r.exited);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // One JSON object on one line.
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
    EXPECT_EQ(r.out[r.out.size() - 2], '}');

    // 2.5 s of sound: the 5-s record time holds it.
    EXPECT_EQ(Number(r.out, "seconds"), 5);
    EXPECT_EQ(Number(r.out, "points"), 500);
    EXPECT_EQ(Field(r.out, "located"), "true");
    // Silence until 0.8 s, a burst until 1.8 s; 0.1 s of margin on both sides.
    const double start = Number(r.out, "start"), end = Number(r.out, "end");
    EXPECT_GT(start, 0.6);
    EXPECT_LT(start, 0.8);
    EXPECT_GT(end, 1.8);
    EXPECT_LT(end, 2.0);
    // The sample sits 0.03 of full scale (about 4 counts) above 128 in its silence.
    std::string bytes = ReadFile(sample);
    ASSERT_GT(bytes.size(), 44u + 1200u);
    const int tail = uint8_t(bytes.back()) - 128;
    for (size_t i = bytes.size() - 1200; i < bytes.size(); ++i)
        ASSERT_EQ(uint8_t(bytes[i]) - 128, tail) << "the sample's last 0.1 s are not flat";
    EXPECT_EQ(Number(r.out, "offset"), tail);
    // The samples a save would write: IndexOfTime of the markers.
    const double s = Number(r.out, "start_sample"), e = Number(r.out, "end_sample");
    EXPECT_NEAR(s, start * 11025, 1.0);
    EXPECT_NEAR(e, end * 11025, 1.0);

    // A shorter record time cuts the recording at 2 s, the speech is still found.
    Result two = Run({sample, "--seconds", "2"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(Number(two.out, "points"), 199);
    EXPECT_EQ(Number(two.out, "seconds"), 2);
    EXPECT_EQ(Field(two.out, "located"), "true");
    EXPECT_LE(Number(two.out, "end_sample"), 22049);
    Result ten = Run({"--seconds=10", sample});
    ASSERT_EQ(ten.status, 0) << ten.err;
    EXPECT_EQ(Number(ten.out, "points"), 999);
}

TEST_F(AnalyseCli, DefaultRecordTimeIsTheShortestThatHoldsTheFile) {
    Result a = Run({Write("six.wav", Wav(Speech(6.0, 2.0, 2.5)))});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(Number(a.out, "seconds"), 10);
    EXPECT_EQ(Field(a.out, "located"), "true");
    EXPECT_NEAR(Number(a.out, "start"), 1.9, 0.02);
    EXPECT_NEAR(Number(a.out, "end"), 2.6, 0.02);
    Result b = Run({Write("two.wav", Wav(Speech(2.0, 1.0, 1.2)))});
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(Number(b.out, "seconds"), 2);
}

TEST_F(AnalyseCli, SilenceAndEmptyDataGiveTheDefaultMarkers) {
    for (const char* name : {"silent.wav", "empty.wav"}) {
        std::vector<uint8_t> data;
        if (std::string(name) == "silent.wav") data.assign(11025, 128);
        Result r = Run({Write(name, Wav(data))});
        ASSERT_EQ(r.status, 0) << name << r.err;
        EXPECT_EQ(Field(r.out, "located"), "false") << name;
        EXPECT_EQ(Number(r.out, "start"), 0.25) << name;
        EXPECT_EQ(Number(r.out, "offset"), 0) << name;
        EXPECT_EQ(Number(r.out, "start_sample"), 2756) << name; // IndexOfTime(0.25)
    }
}

TEST_F(AnalyseCli, HelpAndBadArguments) {
    Result h = Run({"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("usage: vokrec analyse FILE.wav [--seconds N]"), std::string::npos);
    EXPECT_EQ(h.err, "");

    const std::string ok = Write("ok.wav", Wav(Speech(1.0, 0.4, 0.6)));
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {ok, "--seconds"},
                                                 {ok, "--seconds", "0"},
                                                 {ok, "--seconds", "2.5"},
                                                 {ok, "--seconds", "abc"},
                                                 {ok, "--seconds", "-3"},
                                                 {ok, "--seconds", "100000"},
                                                 {ok, "--frobnicate"},
                                                 {ok, ok}}) {
        Result r = Run(args);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(AnalyseCli, WrongFormatsAreNamed) {
    const std::vector<uint8_t> d(2000, 128);
    ExpectRejected(Write("stereo.wav", Wav(d, 2)), "not mono");
    ExpectRejected(Write("16bit.wav", Wav(d, 1, 11025, 16)), "not 8-bit");
    ExpectRejected(Write("22050.wav", Wav(d, 1, 22050)), "not 11025 Hz");
    ExpectRejected(Write("float.wav", Wav(d, 1, 11025, 32, 3)), "not PCM");
    ExpectRejected((dir / "missing.wav").string(), "cannot open");
    ExpectRejected(dir.string(), "not a regular file");

    std::vector<uint8_t> text(200, 'x');
    ExpectRejected(Write("text.wav", text), "not a RIFF");
    std::vector<uint8_t> avi = Wav(d);
    std::memcpy(&avi[8], "AVI ", 4);
    ExpectRejected(Write("avi.wav", avi), "not a WAVE");
    ExpectRejected(Write("zero.wav", {}), "not a RIFF");
}

TEST_F(AnalyseCli, TruncatedAndLyingHeadersFailCleanly) {
    const std::vector<uint8_t> good = Wav(Speech(1.0, 0.3, 0.6));
    // Cut inside the data, inside the format chunk and inside the RIFF header.
    ExpectRejected(Write("cut-data.wav", std::vector<uint8_t>(good.begin(), good.begin() + 3000)),
                   "truncated");
    ExpectRejected(Write("cut-fmt.wav", std::vector<uint8_t>(good.begin(), good.begin() + 30)),
                   "fmt");
    ExpectRejected(Write("cut-riff.wav", std::vector<uint8_t>(good.begin(), good.begin() + 10)),
                   "not a RIFF");

    std::vector<uint8_t> hugeData = good;
    Put32(hugeData, 40, 0xFFFFFFF0u);
    ExpectRejected(Write("huge-data.wav", hugeData), "data");
    std::vector<uint8_t> hugeFmt = good;
    Put32(hugeFmt, 16, 0x7FFFFFFFu);
    ExpectRejected(Write("huge-fmt.wav", hugeFmt), "fmt");
    std::vector<uint8_t> shortFmt = good;
    Put32(shortFmt, 16, 4);
    ExpectRejected(Write("short-fmt.wav", shortFmt), "fmt");
    std::vector<uint8_t> tinyRiff = good;
    Put32(tinyRiff, 4, 4); // the RIFF chunk ends before its first chunk
    ExpectRejected(Write("tiny-riff.wav", tinyRiff), "no \"fmt \" chunk");

    // A RIFF size beyond the file is taken as the file's end; a data size below
    // the bytes present limits what is read. Both are usable files.
    std::vector<uint8_t> bigRiff = good;
    Put32(bigRiff, 4, 0xFFFFFFFFu);
    Result r = Run({Write("big-riff.wav", bigRiff)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "located"), "true");
    std::vector<uint8_t> shortData = good;
    Put32(shortData, 40, 4410); // only the first 0.4 s
    Result s = Run({Write("short-data.wav", shortData)});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Number(s.out, "seconds"), 2);
}
