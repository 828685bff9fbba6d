// Keeping takes: with the option on, each save also writes the whole take to
// FOLDER/takes/ITEM and a row to FOLDER/session.csv; a failure to write either
// is reported and leaves the item's save in place. Off, nothing extra appears.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "capture/WavReader.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>

using namespace rectest;
namespace fs = std::filesystem;

namespace {
// A burst the locator finds, with a low ripple everywhere so that each byte
// tells where in the input it came from.
std::vector<uint8_t> RippledInput() {
    std::vector<uint8_t> v = BurstInput(3.0, 0.6, 1.2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = uint8_t(v[i] + int(i * 7919 % 5) - 2);
    return v;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0, end;
    while ((end = text.find("\r\n", at)) != std::string::npos) {
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    EXPECT_EQ(at, text.size()) << "text after the last CRLF";
    return lines;
}

std::string Seconds(long samples) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6f", samples / 11025.0);
    return buf;
}

RECORD_OPTIONS KeepTakes() {
    RECORD_OPTIONS o;
    o.bKeepTakes = 1;
    return o;
}
} // namespace

TEST(DlgRecordTakes, WholeTakeAndOneRowPerSaveWithTheOptionOnly) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = RippledInput();
    WriteBytes(InFile(), input);
    const std::string folder = NewFolder("takes");
    const char* names[] = {"a01.wav", "say \"b\", then c.wav"};
    {
        DlgRecord off(folder.c_str(), names, 2);
        runWith(off, [&] {
            recordToTheEnd(off);
            click(off, DlgRecord::IDC_BUTTON_SAVE);
            off.EndDialog(IDCANCEL);
        });
        EXPECT_TRUE(fs::exists(folder + "/a01.wav"));
        EXPECT_FALSE(fs::exists(folder + "/takes"));
        EXPECT_FALSE(fs::exists(folder + "/session.csv"));
    }
    DlgRecord d(folder.c_str(), names, 2);
    d.SetOptions(KeepTakes());
    long s0 = 0, e0 = 0, s1 = 0, e1 = 0;
    runWith(d, [&] {
        recordToTheEnd(d);
        ASSERT_TRUE(d.GetMarkedSamples(s0, e0));
        const long last = d.GetWaveChan()->GetLastSavedSample();
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(WavData(folder + "/a01.wav"), expected(input, s0, e0));
        EXPECT_EQ(WavData(folder + "/takes/a01.wav"), expected(input, 0, last));

        WriteBytes(InFile(), input);
        select(d, 1);
        recordToTheEnd(d);
        ASSERT_TRUE(d.GetMarkedSamples(s1, e1));
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(WavData(folder + "/takes/" + names[1]), expected(input, 0, last));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();

    const std::vector<std::string> lines = Lines(ReadAll(folder + "/session.csv"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "item,file,take,rate,bits,start_s,end_s,duration_s,peak_dbfs,clipped,time");
    // The burst swings 100 (+-2) around 128: peak 20*log10(102/128) dBFS.
    const std::string row0 = "a01.wav,a01.wav,takes/a01.wav,11025,8," + Seconds(s0) + "," +
                             Seconds(e0 + 1) + "," + Seconds(e0 - s0 + 1) + ",-1.97,0,";
    EXPECT_EQ(lines[1].substr(0, row0.size()), row0);
    const std::string quoted = "\"say \"\"b\"\", then c.wav\"";
    const std::string row1 = quoted + "," + quoted + ",\"takes/say \"\"b\"\", then c.wav\",";
    EXPECT_EQ(lines[2].substr(0, row1.size()), row1);
    const std::regex iso(R"(.*,\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$)");
    EXPECT_TRUE(std::regex_match(lines[1], iso)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], iso)) << lines[2];
}

TEST(DlgRecordTakes, TakeOrManifestThatCannotBeWrittenIsReportedAndTheItemStaysSaved) {
    MessageCapture boxes;
    WriteBytes(InFile(), RippledInput());
    const std::string folder = NewFolder("takesfail");
    WriteBytes(folder + "/takes", {1}); // a file where the folder of takes goes
    const char* names[] = {"a01.wav", "a02.wav"};
    DlgRecord d(folder.c_str(), names, 2);
    d.SetOptions(KeepTakes());
    runWith(d, [&] {
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        EXPECT_TRUE(fs::is_regular_file(folder + "/a01.wav"));
        const std::string head = "The item was saved, but takes/a01.wav could not be written: ";
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.last().substr(0, head.size()), head);
        EXPECT_GT(boxes.last().size(), head.size()); // the system's reason
        EXPECT_FALSE(fs::exists(folder + "/session.csv"));

        fs::remove(folder + "/takes");
        fs::create_directories(folder + "/session.csv"); // the manifest cannot be replaced
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        EXPECT_TRUE(fs::is_regular_file(folder + "/takes/a01.wav"));
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(
            boxes.last().rfind("The item was saved, but session.csv could not be written: ", 0), 0u)
            << boxes.last();
        d.EndDialog(IDCANCEL);
    });
}

// At 16-bit 48000 Hz the take is every recorded frame byte for byte, in a
// file of that format, and its row names the format.
TEST(DlgRecordTakes, TakeAtSixteenBits48kHzIsEveryFrameInItsFormat) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = Pattern(size_t(3 * 48000 * 2), 48000u);
    WriteBytes(InFile(), input);
    const std::string folder = NewFolder("takes16");
    const char* names[] = {"w.wav"};
    DlgRecord d(folder.c_str(), names, 1);
    RECORD_OPTIONS o = KeepTakes();
    o.nRate = 48000;
    o.nBits = 16;
    d.SetOptions(o);
    runWith(d, [&] {
        recordToTheEnd(d); // 2 sec
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
    WAVReader take;
    ASSERT_EQ(take.Load(folder + "/takes/w.wav"), 1) << take.Error();
    EXPECT_EQ(take.nSamplesPerSec, 48000u);
    EXPECT_EQ(take.wBitsPerSample, 16u);
    EXPECT_EQ(take.nBlockAlign, 2u);
    EXPECT_TRUE(take.data == std::vector<uint8_t>(input.begin(), input.begin() + 2 * 2 * 48000));
    const std::vector<std::string> lines = Lines(ReadAll(folder + "/session.csv"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("w.wav,w.wav,takes/w.wav,48000,16,", 0), 0u) << lines[1];
}

// A "takes" that is a symbolic link to a folder elsewhere is not followed:
// the failure is reported, the item stays saved and nothing is made there.
TEST(DlgRecordTakes, TakesLinkedOutsideTheFolderAreNotFollowed) {
    MessageCapture boxes;
    WriteBytes(InFile(), RippledInput());
    const std::string outer = NewFolder("takeslink");
    const std::string folder = outer + "/in", outside = outer + "/out";
    fs::create_directories(folder + "/sub");
    fs::create_directories(outside);
    fs::create_directory_symlink(outside, folder + "/takes");
    const char* names[] = {"sub/a01.wav"};
    DlgRecord d(folder.c_str(), names, 1);
    d.SetOptions(KeepTakes());
    runWith(d, [&] {
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(fs::is_regular_file(folder + "/sub/a01.wav"));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(
        boxes.last().rfind("The item was saved, but takes/sub/a01.wav could not be written: ", 0),
        0u)
        << boxes.last();
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(fs::exists(folder + "/session.csv"));
}
