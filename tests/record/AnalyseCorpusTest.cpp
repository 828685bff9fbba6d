// `vokrec analyse` over many files: input order under worker threads, failing
// files in the middle, folders and lists, the level figures, the summary, the
// progress line, and names that are not plain text.
#include "AnalyseTestSupport.h"
#include "record/ItemList.h"
#include <filesystem>
#include <sstream>

using namespace rectest;

namespace {
using AnalyseCorpus = AnalyseTest;

std::vector<std::string> Files(const std::string& out) {
    std::vector<std::string> files;
    for (const std::string& l : Lines(out))
        files.push_back(Field(l, "file"));
    return files;
}

std::string Json(const std::string& s) {
    return "\"" + s + "\"";
}
} // namespace

// One file and no new option prints exactly what the one-file command printed;
// with an option the same fields come first and the figures follow.
TEST_F(AnalyseCorpus, SingleFileOutputIsUnchanged) {
    const std::string sample = std::string(std::getenv("VOK_TEST_DATA")) + "/sample.wav";
    const std::string path = Write("sample.wav", ReadBytes(sample));
    const std::string today = "{\"file\":" + Json(path) +
                              ",\"seconds\":5,\"offset\":4,\"points\":500,\"start\":0.7058,"
                              "\"end\":1.8871,\"located\":true,\"start_sample\":7781,"
                              "\"end_sample\":20805}";
    VokrecRun one = Run({path});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, today + "\n");
    EXPECT_EQ(one.err, "");

    VokrecRun corpus = Run({"-j", "1", path});
    EXPECT_EQ(corpus.status, 0);
    EXPECT_EQ(corpus.out.rfind(today.substr(0, today.size() - 1) + ",\"duration\":", 0), 0u)
        << corpus.out;
    EXPECT_EQ(corpus.err, "");
}

// Lines come in input order whatever order the workers finish in: a long file
// first keeps one worker busy while the others finish the short ones.
TEST_F(AnalyseCorpus, OutputKeepsInputOrderUnderJobs) {
    std::vector<std::string> args = {Write("long.wav", Wav(Speech(300.0, 120.0, 121.0)))};
    for (int k = 0; k < 30; ++k)
        args.push_back(Write("short-" + std::to_string(29 - k) + ".wav",
                             Wav(Speech(1.0 + 0.1 * (k % 7), 0.3 + 0.02 * k, 0.7))));
    VokrecRun serial = Run([&] {
        auto a = args;
        a.insert(a.begin(), {"-j", "1"});
        return a;
    }());
    ASSERT_EQ(serial.status, 0) << serial.err;
    for (const char* jobs : {"4", "16"}) {
        auto a = args;
        a.insert(a.begin(), {"--jobs", jobs});
        VokrecRun parallel = Run(a);
        ASSERT_EQ(parallel.status, 0) << parallel.err;
        std::vector<std::string> expected;
        for (const std::string& p : args)
            expected.push_back(Json(p));
        EXPECT_EQ(Files(parallel.out), expected) << jobs;
        EXPECT_EQ(parallel.out, serial.out) << jobs;
    }
}

// A file that fails gives an error line where it stands, a message on standard
// error, and the run goes on; the status tells that a file failed.
TEST_F(AnalyseCorpus, FailingFilesInTheMiddle) {
    const std::string good1 = Write("good1.wav", Wav(Speech(2.0, 0.8, 1.2)));
    const std::string text = Write("text.wav", std::vector<uint8_t>(200, 'x'));
    const std::string missing = dir + "/missing.wav";
    const std::string stereo = Write("stereo.wav", Wav(std::vector<uint8_t>(2000, 128), 2));
    const std::string good2 = Write("good2.wav", Wav(Speech(2.0, 0.5, 1.5)));
    VokrecRun r = Run({"-j", "3", good1, text, missing, stereo, good2});
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(Files(r.out), (std::vector<std::string>{Json(good1), Json(text), Json(missing),
                                                      Json(stereo), Json(good2)}));
    EXPECT_EQ(Field(lines[0], "located"), "true");
    EXPECT_EQ(lines[1],
              "{\"file\":" + Json(text) + ",\"error\":\"not a RIFF file (no RIFF header)\"}");
    EXPECT_EQ(lines[2], "{\"file\":" + Json(missing) +
                            ",\"error\":\"cannot open: No such file or directory\"}");
    EXPECT_NE(lines[3].find("\"error\":\"not mono (2 channels)\""), std::string::npos);
    EXPECT_EQ(Field(lines[4], "located"), "true");
    EXPECT_EQ(r.err, "vokrec analyse: " + Json(text) + ": not a RIFF file (no RIFF header)\n" +
                         "vokrec analyse: " + Json(missing) +
                         ": cannot open: No such file or directory\n" +
                         "vokrec analyse: " + Json(stereo) + ": not mono (2 channels)\n");

    VokrecRun allGood = Run({good1, good2});
    EXPECT_EQ(allGood.status, 0);
    EXPECT_EQ(allGood.err, "");
}

// Folders give their .wav files in name order (the whole tree with -r); lists
// give one path a line; everything in command-line order.
TEST_F(AnalyseCorpus, FoldersAndLists) {
    const std::vector<uint8_t> wav = Wav(Speech(1.0, 0.4, 0.6));
    std::filesystem::create_directories(dir + "/set/sub");
    for (const char* n : {"set/b.wav", "set/a.wav", "set/E.WAV", "set/sub/d.wav"})
        Write(n, wav);
    Write("set/notes.txt", {'x'});
    const std::string set = dir + "/set";
    VokrecRun flat = Run({set});
    EXPECT_EQ(flat.status, 0);
    EXPECT_EQ(Files(flat.out), (std::vector<std::string>{Json(set + "/E.WAV"), Json(set + "/a.wav"),
                                                         Json(set + "/b.wav")}));
    EXPECT_NE(flat.out.find("\"peak_dbfs\":"), std::string::npos); // a folder is a corpus run
    VokrecRun tree = Run({"-r", set + "/"});
    EXPECT_EQ(Files(tree.out),
              (std::vector<std::string>{Json(set + "/E.WAV"), Json(set + "/a.wav"),
                                        Json(set + "/b.wav"), Json(set + "/sub/d.wav")}));

    const std::string list = Write("list.txt", {});
    WriteBytes(list, std::vector<uint8_t>{});
    const std::string text = set + "/b.wav\n\n" + set + "/sub\n" + set + "/a.wav";
    WriteBytes(list, std::vector<uint8_t>(text.begin(), text.end()));
    VokrecRun fromFile = Run({set + "/E.WAV", "--from", list, set + "/b.wav"});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(Files(fromFile.out),
              (std::vector<std::string>{Json(set + "/E.WAV"), Json(set + "/b.wav"),
                                        Json(set + "/sub/d.wav"), Json(set + "/a.wav"),
                                        Json(set + "/b.wav")}));
    VokrecRun fromStdin = RunVokrec("analyse --from - <" + Quote(list));
    EXPECT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(Files(fromStdin.out),
              (std::vector<std::string>{Json(set + "/b.wav"), Json(set + "/sub/d.wav"),
                                        Json(set + "/a.wav")}));
}

// The figures, checked against the samples a save would write: the file's
// bytes from the start sample to the end sample.
TEST_F(AnalyseCorpus, LevelFigures) {
    std::vector<uint8_t> data = Speech(2.0, 0.8, 1.4); // 131 +- 72: a DC level of 3
    for (uint8_t& s : data)
        s = uint8_t(s + 3);
    data[100] = 255, data[200] = 0, data[300] = 255; // clicks at full scale
    const std::string loud = Write("loud.wav", Wav(data));
    const std::string silent = Write("silent.wav", Wav(std::vector<uint8_t>(11025, 128)));
    std::vector<uint8_t> hum(11025);
    for (size_t i = 0; i < hum.size(); ++i)
        hum[i] = uint8_t(128 + (i % 2 ? 2 : -2));
    const std::string flat = Write("flat.wav", Wav(hum)); // the peak in the first element
    VokrecRun r = Run({"-j", "2", loud, silent, flat});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);

    const std::string& l = lines[0];
    ASSERT_EQ(Field(l, "located"), "true");
    EXPECT_EQ(Field(l, "duration"), "2");
    EXPECT_EQ(Field(l, "clipped"), "3");
    EXPECT_EQ(Field(l, "peak_dbfs"), "0");
    const double offset = Number(l, "offset");
    EXPECT_EQ(offset, 3);
    double sum = 0.0;
    const long a = long(Number(l, "start_sample")), b = long(Number(l, "end_sample"));
    for (long k = a; k <= b; ++k) {
        const double x = (size_t(k) < data.size() ? data[size_t(k)] : 128) - 128 - offset;
        sum += x * x;
    }
    EXPECT_NEAR(Number(l, "rms_dbfs"), 20 * std::log10(std::sqrt(sum / double(b - a + 1)) / 128),
                0.006);
    EXPECT_LT(Number(l, "rms_dbfs"), -3.0);

    for (const std::string& quiet : {lines[1], lines[2]}) {
        EXPECT_EQ(Field(quiet, "located"), "false");
        EXPECT_EQ(Field(quiet, "duration"), "1");
        EXPECT_EQ(Field(quiet, "clipped"), "0");
        EXPECT_EQ(Field(quiet, "rms_dbfs"), "null"); // nothing located
    }
    EXPECT_EQ(Field(lines[1], "peak_dbfs"), "null");   // every sample at the midpoint
    EXPECT_EQ(Field(lines[2], "peak_dbfs"), "-36.12"); // 20 log10(2 / 128)
}

TEST_F(AnalyseCorpus, SummaryTable) {
    std::vector<uint8_t> clipped = Speech(2.0, 0.8, 1.4);
    clipped[9000] = 255;
    std::vector<uint8_t> quiet(22050, 128);
    for (size_t i = 5000; i < 20000; ++i)
        quiet[i] = uint8_t((i / 20) % 2 ? 136 : 120); // peak 8 counts: -24 dBFS
    VokrecRun r =
        Run({"--summary", Write("ok.wav", Wav(Speech(2.0, 0.5, 0.9))),
             Write("clipped.wav", Wav(clipped)), Write("quiet.wav", Wav(quiet)),
             Write("silent.wav", Wav(std::vector<uint8_t>(11025, 128))), dir + "/missing.wav"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out).size(), 5u);
    for (const char* row : {"  files +5\n", "  failed +1\n", "  located +3\n", "  not located +1\n",
                            "  clipped +1 ", "  very quiet +2 ", "  0.0 to 0.5 s +0\n",
                            "  0.5 to 1.0 s +2\n", "  1.0 to 2.0 s +1\n", "  2.0 to 5.0 s +0\n"})
        EXPECT_TRUE(std::regex_search(r.err, std::regex(row))) << row << "\n" << r.err;
    // Located durations of about 0.6, 0.8 and 1.6 s (the bursts with 0.1 s either side).
    EXPECT_TRUE(
        std::regex_search(r.err, std::regex("min 0\\.6\\d .* median 0\\.8\\d .* max 1\\.[56]\\d")))
        << r.err;
    EXPECT_EQ(Run({"-j", "1", dir + "/ok.wav"}).err, "");
}

// Progress only on a terminal: none with standard error in a file; on a
// terminal (a pseudo-terminal from script) a line that never reaches stdout.
TEST_F(AnalyseCorpus, ProgressLineOnlyOnATerminal) {
    std::vector<std::string> files;
    for (int k = 0; k < 3; ++k)
        files.push_back(Write("p" + std::to_string(k) + ".wav", Wav(Speech(2.0, 0.5, 1.0))));
    VokrecRun plain = Run({files[0], files[1], files[2]});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");

    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script";
    const char* exe = std::getenv("VOKREC");
    std::string cmd = Quote(exe && *exe ? exe : VOK_TEST_VOKREC) + " analyse";
    for (const std::string& f : files)
        cmd += " " + Quote(f);
    const std::string out = dir + "/out.json", log = dir + "/typescript";
    cmd += " >" + Quote(out);
    const int rc = std::system(
        ("script -qec " + Quote(cmd) + " " + Quote(log) + " </dev/null >/dev/null").c_str());
    ASSERT_EQ(rc, 0);
    const std::vector<uint8_t> t = ReadBytes(log), o = ReadBytes(out);
    const std::string terminal(t.begin(), t.end()), json(o.begin(), o.end());
    EXPECT_NE(terminal.find("3/3 files"), std::string::npos) << terminal;
    EXPECT_EQ(json, plain.out);
}

// Names are written as valid JSON whatever their bytes: UTF-8 as it is with
// control characters escaped, anything else as Latin-1 with a mark; messages
// show the name quoted on one line.
TEST_F(AnalyseCorpus, NamesThatAreNotPlainText) {
    const std::vector<uint8_t> wav = Wav(Speech(1.0, 0.4, 0.6));
    const std::string latin = Write("caf\xe9\x01.wav", wav);
    const std::string utf8 = Write("caf\xc3\xa9\xc2\x85.wav", wav);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{latin}, {"-j", "2", latin, utf8}}) {
        VokrecRun r = Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(ItemList::IsUtf8(r.out));
        for (char c : r.out)
            EXPECT_TRUE(c == '\n' || (unsigned char)c >= 0x20) << int(c);
        const std::vector<std::string> lines = Lines(r.out);
        EXPECT_EQ(lines[0].rfind("{\"file\":\"" + dir +
                                     "/caf\\u00e9\\u0001.wav\","
                                     "\"file_latin1\":true,\"seconds\":",
                                 0),
                  0u)
            << lines[0];
        if (lines.size() > 1) {
            const std::string expected = "{\"file\":\"" + dir + "/caf\xc3\xa9\\u0085.wav\",";
            EXPECT_EQ(lines[1].rfind(expected + "\"seconds\"", 0), 0u) << lines[1];
        }
    }

    const std::string odd = dir + "/no\x1b[31m\"pe\n\xff.wav";
    VokrecRun single = Run({odd});
    EXPECT_EQ(single.status, 2);
    EXPECT_EQ(single.err, "vokrec analyse: \"" + dir +
                              "/no\\x1b[31m\\\"pe\\n\\xff.wav\": cannot open: No such file or "
                              "directory\n");
    VokrecRun many = Run({"-j", "2", odd, latin});
    EXPECT_EQ(many.status, 1);
    EXPECT_EQ(Lines(many.out)[0], "{\"file\":\"" + dir +
                                      "/no\\u001b[31m\\\"pe\\u000a\\u00ff.wav\",\"file_latin1\":"
                                      "true,\"error\":\"cannot open: No such file or directory\"}");
    EXPECT_EQ(Lines(many.err).size(), 1u) << many.err;
}

// Files of every sample size in one run: each line in input order with its
// own format, a 16-bit file located where its 8-bit twin is, a 24-bit file
// an error line in its place; the same output with one worker and with three.
TEST_F(AnalyseCorpus, MixedFormatsInOneRun) {
    const std::vector<std::string> args = {
        "--jobs",
        "3",
        Write("long48.wav", Wav(SpeechAt(48000, 16, 30.0, 12.0, 12.5), 1, 48000, 16)),
        Write("eight.wav", Wav(Speech(3.0, 1.0, 1.5))),
        Write("deep.wav", Wav(std::vector<uint8_t>(3000, 0), 1, 48000, 24)),
        Write("cd.wav", Wav(SpeechAt(44100, 16, 3.0, 1.0, 1.5), 1, 44100, 16)),
        Write("wide.wav", Wav(SpeechAt(22050, 8, 3.0, 1.0, 1.5), 1, 22050, 8))};
    VokrecRun r = Run(args);
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(Files(r.out), (std::vector<std::string>{Json(args[2]), Json(args[3]), Json(args[4]),
                                                      Json(args[5]), Json(args[6])}));
    const std::vector<std::pair<std::string, std::string>> formats = {
        {"48000", "16"}, {"11025", "8"}, {"", ""}, {"44100", "16"}, {"22050", "8"}};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(Field(lines[i], "rate"), formats[i].first) << lines[i];
        EXPECT_EQ(Field(lines[i], "bits"), formats[i].second) << lines[i];
    }
    EXPECT_EQ(lines[2], "{\"file\":" + Json(args[4]) +
                            ",\"error\":\"not 8- or 16-bit (24 bits per sample)\"}");
    EXPECT_NEAR(Number(lines[0], "start"), 11.9, 0.02);
    EXPECT_EQ(Number(lines[0], "seconds"), 30);
    for (size_t i : {3u, 4u}) {
        EXPECT_NEAR(Number(lines[i], "start"), Number(lines[1], "start"), 0.01) << lines[i];
        EXPECT_NEAR(Number(lines[i], "end"), Number(lines[1], "end"), 0.01) << lines[i];
        EXPECT_NEAR(Number(lines[i], "rms_dbfs"), Number(lines[1], "rms_dbfs"), 0.1) << lines[i];
    }

    std::vector<std::string> serialArgs = args;
    serialArgs[1] = "1";
    EXPECT_EQ(Run(serialArgs).out, r.out);
}
