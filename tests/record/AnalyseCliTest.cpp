// Runs `vokrec analyse` on the sample recording and on malformed files.
#include "AnalyseTestSupport.h"
#include <filesystem>

using namespace rectest;
namespace fs = std::filesystem;

using AnalyseCli = AnalyseTest;

TEST_F(AnalyseCli, SampleRecordingIsLocated) {
    const std::string sample = std::string(std::getenv("VOK_TEST_DATA")) + "/sample.wav";
    VokrecRun r = Run({sample});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // One JSON object on one line.
    ASSERT_GE(r.out.size(), 3u);
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
    // The sample's silence sits 0.03 of full scale (4 counts) above 128.
    const std::vector<uint8_t> bytes = ReadBytes(sample);
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_EQ(Number(r.out, "offset"), int(bytes.back()) - 128);
    // The samples a save would write: IndexOfTime of the markers.
    EXPECT_NEAR(Number(r.out, "start_sample"), start * 11025, 1.0);
    EXPECT_NEAR(Number(r.out, "end_sample"), end * 11025, 1.0);

    // A shorter record time cuts the recording at 2 s, the speech is still found.
    VokrecRun two = Run({sample, "--seconds", "2"});
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(Number(two.out, "points"), 199);
    EXPECT_EQ(Number(two.out, "seconds"), 2);
    EXPECT_EQ(Field(two.out, "located"), "true");
    EXPECT_LE(Number(two.out, "end_sample"), 22049);
    VokrecRun ten = Run({"--seconds=10", sample});
    ASSERT_EQ(ten.status, 0) << ten.err;
    EXPECT_EQ(Number(ten.out, "points"), 999);
}

// The default record time is the shortest that holds the file; silence and
// empty data give the default markers.
TEST_F(AnalyseCli, DefaultRecordTimeAndDefaultMarkers) {
    VokrecRun a = Run({Write("six.wav", Wav(Speech(6.0, 2.0, 2.5)))});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(Number(a.out, "seconds"), 10);
    EXPECT_EQ(Field(a.out, "located"), "true");
    EXPECT_NEAR(Number(a.out, "start"), 1.9, 0.02);
    EXPECT_NEAR(Number(a.out, "end"), 2.6, 0.02);
    VokrecRun b = Run({Write("two.wav", Wav(Speech(2.0, 1.0, 1.2)))});
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(Number(b.out, "seconds"), 2);

    for (size_t n : {11025, 0}) {
        VokrecRun r = Run({Write("silent.wav", Wav(std::vector<uint8_t>(n, 128)))});
        ASSERT_EQ(r.status, 0) << n << r.err;
        EXPECT_EQ(Field(r.out, "located"), "false") << n;
        EXPECT_EQ(Number(r.out, "start"), 0.25) << n;
        EXPECT_EQ(Number(r.out, "offset"), 0) << n;
        EXPECT_EQ(Number(r.out, "start_sample"), 2756) << n; // IndexOfTime(0.25)
    }
}

// Silence except one loud sample at byte 11024, the last byte of the fifth
// 0.2 s buffer: the file goes into the channel as capture fills it, so that
// sample is kept and located.
TEST_F(AnalyseCli, LoudSampleAtTheEndOfABufferIsLocated) {
    std::vector<uint8_t> d(22050, 128);
    d[11024] = 255;
    VokrecRun r = Run({Write("click.wav", Wav(d))});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "located"), "true") << r.out;
    EXPECT_LT(Number(r.out, "start"), 11024 / 11025.0);
    EXPECT_GT(Number(r.out, "end"), 11024 / 11025.0);
    EXPECT_LE(Number(r.out, "start_sample"), 11024);
    EXPECT_GE(Number(r.out, "end_sample"), 11024);
}

TEST_F(AnalyseCli, HelpAndBadArguments) {
    VokrecRun h = Run({"--help"});
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("usage: vokrec analyse [OPTION]... FILE.wav|FOLDER..."),
              std::string::npos);
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
                                                 {ok, "--locate"},
                                                 {ok, "--locate", "best"},
                                                 {ok, "--locate=SPEC"},
                                                 {ok, "-x"},
                                                 {ok, "--jobs", "0"},
                                                 {ok, "-j", "257"},
                                                 {ok, "--from"},
                                                 {"--from", dir + "/no-list"},
                                                 {"--from", dir}}) {
        VokrecRun r = Run(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(AnalyseCli, WrongFormatsAreNamed) {
    const std::vector<uint8_t> d(2000, 128);
    ExpectRejected(Write("stereo.wav", Wav(d, 2)), "not mono");
    ExpectRejected(Write("24bit.wav", Wav(d, 1, 11025, 24)), "not 8- or 16-bit");
    ExpectRejected(Write("16000.wav", Wav(d, 1, 16000)),
                   "not 8000, 11025, 22050, 44100 or 48000 Hz");
    ExpectRejected(Write("float.wav", Wav(d, 1, 11025, 32, 3)), "not PCM");
    ExpectRejected(dir + "/missing.wav", "cannot open");
    ExpectRejected("/dev/null", "not a regular file");
    ExpectRejected(Write("text.wav", std::vector<uint8_t>(200, 'x')), "not a RIFF");
    std::vector<uint8_t> avi = Wav(d);
    std::memcpy(&avi[8], "AVI ", 4);
    ExpectRejected(Write("avi.wav", avi), "not a WAVE");
    ExpectRejected(Write("zero.wav", {}), "not a RIFF");
}

TEST_F(AnalyseCli, TruncatedAndLyingHeadersFailCleanly) {
    const std::vector<uint8_t> good = Wav(Speech(1.0, 0.3, 0.6));
    // Cut inside the data, inside the format chunk and inside the RIFF header.
    for (auto [size, problem] : {std::pair{3000, "truncated"}, {30, "fmt"}, {10, "not a RIFF"}})
        ExpectRejected(Write("cut.wav", std::vector<uint8_t>(good.begin(), good.begin() + size)),
                       problem);
    // Sizes in the header that lie: data and format chunks larger than the
    // file, a format chunk too short to hold a format, a RIFF chunk that ends
    // before its first chunk.
    for (auto [at, value, problem] : {std::tuple{40, 0xFFFFFFF0u, "data"},
                                      {16, 0x7FFFFFFFu, "fmt"},
                                      {16, 4u, "fmt"},
                                      {4, 4u, "no \"fmt \" chunk"}}) {
        std::vector<uint8_t> lying = good;
        Put32(lying, size_t(at), value);
        ExpectRejected(Write("lying.wav", lying), problem);
    }

    // A RIFF size beyond the file is taken as the file's end; a data size below
    // the bytes present limits what is read. Both are usable files.
    std::vector<uint8_t> bigRiff = good;
    Put32(bigRiff, 4, 0xFFFFFFFFu);
    VokrecRun r = Run({Write("big-riff.wav", bigRiff)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Field(r.out, "located"), "true");
    std::vector<uint8_t> shortData = good;
    Put32(shortData, 40, 4410); // only the first 0.4 s
    VokrecRun s = Run({Write("short-data.wav", shortData)});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Number(s.out, "seconds"), 2);
}

// --locate spec is the default to the byte; refined keeps speech that starts
// inside the first quarter second, which the standard locator never searches,
// for one file and for each of several.
TEST_F(AnalyseCli, LocateChoosesTheLocator) {
    const std::string early = Write("early.wav", Wav(Speech(2.0, 0.05, 0.5)));
    const VokrecRun standard = Run({early});
    ASSERT_EQ(standard.status, 0) << standard.err;
    EXPECT_EQ(Run({early, "--locate", "spec"}).out, standard.out);
    EXPECT_EQ(Run({"--locate=spec", early}).out, standard.out);
    EXPECT_GE(Number(standard.out, "start"), 0.15);

    const VokrecRun refined = Run({early, "--locate", "refined"});
    ASSERT_EQ(refined.status, 0) << refined.err;
    EXPECT_EQ(Field(refined.out, "located"), "true");
    EXPECT_LT(Number(refined.out, "start"), 0.05);
    EXPECT_GT(Number(refined.out, "end"), 0.5);
    EXPECT_LT(Number(refined.out, "end"), 0.65); // 0.12 s of margin
    EXPECT_EQ(Run({"--locate=refined", early}).out, refined.out);

    const VokrecRun two = Run({"--locate", "refined", early, early});
    ASSERT_EQ(two.status, 0) << two.err;
    const size_t nl = two.out.find('\n');
    ASSERT_NE(nl, std::string::npos);
    for (const std::string& line : {two.out.substr(0, nl), two.out.substr(nl + 1)})
        EXPECT_EQ(Number(line, "start"), Number(refined.out, "start")) << line;
}
