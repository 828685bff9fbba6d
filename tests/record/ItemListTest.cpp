// The item file reader of `vokrec record --item-file`: line ends, blank lines
// and spaces, the byte order mark, and the files it refuses as a whole (NUL
// bytes, control characters, invalid UTF-8, overlong names, oversized files),
// each naming the line at fault. Also the command's exit code on a refused file.
#include "record/ItemList.h"
#include "RecordTestEnv.h"
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace rectest;
using Names = std::vector<std::string>;

namespace {
Names parse(const std::string& text) {
    ItemList l;
    EXPECT_TRUE(l.Parse(text)) << l.Error();
    return l.Items();
}
// The error of a refused text; "" when it was accepted.
std::string refusal(const std::string& text, int* line = nullptr) {
    ItemList l;
    if (l.Parse(text)) return "";
    EXPECT_TRUE(l.Items().empty());
    if (line) *line = l.ErrorLine();
    return l.Error();
}
} // namespace

TEST(ItemList, LineEndsBlankLinesSpacesAndTheByteOrderMark) {
    EXPECT_EQ(parse("a01\nb02\n"), (Names{"a01", "b02"}));
    EXPECT_EQ(parse("a01\r\nb02\r\n"), (Names{"a01", "b02"}));
    EXPECT_EQ(parse("a01\rb02"), (Names{"a01", "b02"}));              // lone CR ends a line
    EXPECT_EQ(parse("a01\n\r\n\n  \t \nb02"), (Names{"a01", "b02"})); // last line unended
    EXPECT_EQ(parse("  two words.wav\t \n"), (Names{"two words.wav"}));
    EXPECT_EQ(parse("\xEF\xBB\xBF"
                    "a01\n"),
              (Names{"a01"}));
    // No-break spaces (U+00A0, U+2007, U+202F) around a name go as spaces do;
    // inside it they stay.
    EXPECT_EQ(parse("\xC2\xA0 a\xC2\xA0"
                    "b\xE2\x80\x87\t\xE2\x80\xAF\n"),
              (Names{"a\xC2\xA0"
                     "b"}));
    EXPECT_EQ(parse("\xC2\xA0\n"), Names{});
    EXPECT_EQ(parse(""), Names{});
    EXPECT_EQ(parse("\n\n"), Names{});
    // Names are kept as written, unsafe ones included: the dialog refuses those.
    EXPECT_EQ(parse("../x\n/abs\nsub/a"), (Names{"../x", "/abs", "sub/a"}));
    EXPECT_EQ(parse("\xC3\xA4pfel\n\xE6\x97\xA5\n\xF0\x9F\x8E\xA4"),
              (Names{"\xC3\xA4pfel", "\xE6\x97\xA5", "\xF0\x9F\x8E\xA4"}));
}

TEST(ItemList, NulControlCharactersAndBadUtf8RefuseTheFileNamingTheLine) {
    int line = 0;
    EXPECT_EQ(refusal(std::string("a01\nb\0../x\n", 11), &line), "line 2 contains a NUL byte");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(refusal(std::string("\0", 1), &line), "line 1 contains a NUL byte");
    EXPECT_EQ(refusal("a\n\nb\x1b[2Jc\n", &line), "line 3 contains a control character");
    EXPECT_EQ(line, 3);
    EXPECT_EQ(refusal("a\tb"), "line 1 contains a control character");
    EXPECT_EQ(refusal("a\x7f"), "line 1 contains a control character");
    EXPECT_EQ(refusal("a\r\nb\r\nc\xFF\r\n", &line), "line 3 is not valid UTF-8");
    EXPECT_EQ(line, 3); // CR LF counts as one line end
    // Characters that would show the name other than it is: zero-width ones,
    // bidirectional embeddings, overrides and isolates, a byte order mark
    // inside a name; the neighbours of each range pass.
    for (const char* bad : {"\xE2\x80\x8B", "\xE2\x80\x8F", "\xE2\x80\xAA", "\xE2\x80\xAE",
                            "\xE2\x81\xA6", "\xE2\x81\xA9", "\xEF\xBB\xBF"})
        EXPECT_EQ(refusal(std::string("a\nx") + bad + "y"),
                  "line 2 contains an invisible formatting character")
            << bad;
    EXPECT_EQ(parse("\xE2\x80\x8A\n\xE2\x80\x90\n\xE2\x80\xA9\n\xE2\x81\xA5\n\xE2\x81\xAA\n"
                    "\xEF\xBB\xBE")
                  .size(),
              6u);
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xE6\x97"})
        EXPECT_EQ(refusal(std::string("x") + bad + "y"), "line 1 is not valid UTF-8") << bad;
}

TEST(ItemList, NamesUpToTheLimitPassLongerOnesAndHugeFilesAreRefused) {
    const std::string limit(ItemList::kMaxName, 'n');
    EXPECT_EQ(parse("  " + limit + "  \n"), Names{limit});
    int line = 0;
    EXPECT_EQ(refusal("a\n" + limit + "n\n", &line), "line 2 is longer than 1024 bytes");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(refusal(std::string(4000, 'x')), "line 1 is longer than 1024 bytes");
    // Many short lines up to the file limit are fine; one byte more is not.
    std::string big;
    while (big.size() + 4 <= ItemList::kMaxFile)
        big += "abc\n";
    big.resize(ItemList::kMaxFile, '\n');
    EXPECT_EQ(parse(big).size(), ItemList::kMaxFile / 4);
    EXPECT_EQ(refusal(big + "\n", &line), "it is larger than 4194304 bytes");
    EXPECT_EQ(line, 0);
}

TEST(ItemList, ReadFileReadsWhatParseParsesAndBoundsWhatItReads) {
    const std::string dir = NewFolder("itemlist");
    const std::string path = dir + "/items.txt";
    const std::string text = "\xEF\xBB\xBF"
                             "a01\r\n\r\n b02 \nc03";
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    ItemList l;
    ASSERT_TRUE(l.ReadFile(path)) << l.Error();
    EXPECT_EQ(l.Items(), (Names{"a01", "b02", "c03"}));

    EXPECT_FALSE(l.ReadFile(dir + "/missing.txt"));
    EXPECT_EQ(l.Error(), "it cannot be opened or read");
    EXPECT_TRUE(l.Items().empty());
    // A folder, a device and a FIFO without a writer (which a plain open
    // would wait on for ever) are refused at once.
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& odd : {dir, std::string("/dev/zero"), fifo}) {
        EXPECT_FALSE(l.ReadFile(odd)) << odd;
        EXPECT_EQ(l.Error(), "it is not a regular file") << odd;
    }
    // A regular file is read no further than one byte past the limit.
    const std::string big = dir + "/big.txt";
    WriteBytes(big, {});
    ASSERT_EQ(truncate(big.c_str(), off_t(ItemList::kMaxFile) * 4), 0);
    EXPECT_FALSE(l.ReadFile(big));
    EXPECT_EQ(l.Error(), "it is larger than 4194304 bytes");
}

// `--items` names get the checks of item-file lines: exit code 2 naming
// which name is wrong, without echoing it.
TEST(ItemList, RecordCommandRefusesBadItemsNames) {
    const std::string dir = NewFolder("itemsargs");
    struct Case {
        std::string names, says;
    };
    for (const Case& c : {Case{"a01 " + Quote("b\x1b[2J"), "name 2 contains a control character"},
                          Case{Quote("\xff"), "name 1 is not valid UTF-8"},
                          Case{"ok " + Quote("\xe2\x80\xaevaw.exe"),
                               "name 2 contains an invisible formatting character"},
                          Case{Quote("\xc2\xa0 "), "name 1 is empty"},
                          Case{std::string(1025, 'n'), "name 1 is longer than 1024 bytes"}}) {
        const VokrecRun r = RunVokrec("record --folder " + Quote(dir) + " --items " + c.names);
        EXPECT_EQ(r.status, 2) << c.names;
        EXPECT_EQ(r.out + r.err, "vokrec record: --items " + c.says + "\n") << c.names;
    }
}

// The command refuses a bad item file with exit code 2 before any dialog.
TEST(ItemList, RecordCommandRefusesABadItemFile) {
    const std::string dir = NewFolder("itemcmd");
    const std::string path = dir + "/items.txt";
    const std::string text = "a01\nb\xFF\n";
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    const VokrecRun r = RunVokrec("record --folder " + Quote(dir) + " --item-file " + Quote(path));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out + r.err,
              "vokrec record: cannot read item file " + path + ": line 2 is not valid UTF-8\n");
}
