#include "support/FileUtil.h"
#include "MessageCapture.h"
#include "support/FileX.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string TempDirFor(const std::string& name) {
    // The process id keeps runs of two build folders apart.
    std::string d = ::testing::TempDir() + "vok_" + std::to_string(getpid()) + "_" + name;
    std::string cmd = "rm -rf '" + d + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_TRUE(MakeDir(d));
    return d;
}
void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
} // namespace

TEST(FileUtil, PathParts) {
    EXPECT_EQ(FileNameOf("/data/a.wav"), "a.wav");
    EXPECT_EQ(FileNameOf("/a.wav"), "a.wav");
    EXPECT_EQ(FileNameOf("a.wav"), "a.wav");
    EXPECT_EQ(DirectoryOf("/data/a.wav"), "/data");
    EXPECT_EQ(DirectoryOf("/data/a.wav", true), "/data/");
    EXPECT_EQ(DirectoryOf("/a.wav"), "/"); // the root keeps its separator
    EXPECT_EQ(DirectoryOf("ab"), "");
    EXPECT_EQ(ChangeExtension("/data/a.wav", "txt"), "/data/a.txt");
    EXPECT_EQ(ChangeExtension("notes", "txt"), "notes.txt");
    EXPECT_EQ(ChangeExtension("/data/a.wav", "txt", true), "a.txt");
    EXPECT_EQ(ChangeExtension("/my.dir/notes", "txt"), "/my.dir/notes.txt");
    EXPECT_EQ(ExtensionOf("A.WAV"), "wav");
    EXPECT_EQ(ExtensionOf(".profile"), "");
    EXPECT_EQ(ExtensionOf("/my.dir/notes"), "");
    EXPECT_EQ(DriveNumber('c'), 3);
    std::string s = "ab";
    PadString(s, 4);
    EXPECT_EQ(s, "ab  ");
    PadString(s, 1);
    EXPECT_EQ(s, "a");
}

TEST(FileUtil, StringListsSortAndFind) {
    CStringArray empty;
    EXPECT_EQ(SortNoCase(empty), 0);
    CStringArray l = {"b", "C", "a", "B"};
    EXPECT_EQ(SortNoCase(l), 1);
    EXPECT_EQ(l, (CStringArray{"a", "b", "B", "C"}));
    EXPECT_EQ(FindString("B", l), 2);
    EXPECT_EQ(FindString("c", l), -1);
    EXPECT_TRUE(HasString("C", l));
}

TEST(FileUtil, StatusFindFilesRenameRemove) {
    std::string d = TempDirFor("findfiles");
    WriteText(d + "/B.txt", "12345");
    WriteText(d + "/a.TXT", "");
    ASSERT_TRUE(MakeDir(d + "/c"));
    CStringArray l = {"stale"};
    EXPECT_EQ(FindFiles(d + "/*", l), 1);
    EXPECT_EQ(l, (CStringArray{"a.txt", "b.txt"}));
    EXPECT_EQ(FindFiles(d + "/*.none", l), 1);
    EXPECT_TRUE(l.empty());

    EXPECT_EQ(GetFileSize(d + "/B.txt"), 5);
    EXPECT_EQ(GetFileSize(d + "/missing"), 0);
    EXPECT_TRUE(IsReadOnly(d + "/missing"));
    EXPECT_FALSE(IsReadOnly(d + "/B.txt"));
    ::chmod((d + "/B.txt").c_str(), 0444);
    EXPECT_TRUE(IsReadOnly(d + "/B.txt"));
    EXPECT_TRUE(IsDirectory(d + "/c"));
    EXPECT_FALSE(IsDirectory(d + "/B.txt"));
    EXPECT_EQ(FileHasAttr(d + "/B.txt", 0), 1);
    EXPECT_EQ(FileHasAttr(d + "/c", 0), 0);
    for (int mask : std::initializer_list<int>{0, FILE_ATTR_READONLY, FILE_ATTR_DIRECTORY, 0xff})
        EXPECT_EQ(FileHasAttr(d + "/missing", mask), 0) << mask;
    EXPECT_GT(GetFreeDiskKB(d), 0);

    EXPECT_TRUE(RenameFile(d + "/B.txt", d + "/d.txt"));
    EXPECT_FALSE(RenameFile(d + "/B.txt", d + "/e.txt"));
    // An existing target is never replaced.
    EXPECT_FALSE(RenameFile(d + "/d.txt", d + "/a.TXT"));
    EXPECT_EQ(GetFileSize(d + "/d.txt"), 5);
    EXPECT_EQ(FileHasAttr(d + "/a.TXT", 0), 1);
    EXPECT_TRUE(RemoveFile(d + "/d.txt"));
    EXPECT_FALSE(RemoveFile(d + "/d.txt"));

    CCurDir cur;
    cur.Save();
    EXPECT_TRUE(ChangeDir(d + "/c"));
    EXPECT_FALSE(ChangeDir(d + "/nowhere"));
    EXPECT_TRUE(cur.Restore());
    CCurDir now;
    now.Save();
    EXPECT_EQ(now.Path(), cur.Path());
}

TEST(FileUtil, FindFilesIgnoresCaseAndTakesTheFolderLiterally) {
    std::string d = TempDirFor("findliteral");
    // Glob characters in the folder name are part of the name.
    const std::string rec = d + "/rec[1]";
    ASSERT_TRUE(MakeDir(rec));
    ASSERT_TRUE(MakeDir(d + "/rec1"));
    WriteText(rec + "/Own.WAV", "");
    WriteText(rec + "/other.txt", "");
    WriteText(d + "/rec1/wrong.wav", "");
    CStringArray l;
    EXPECT_EQ(FindFiles(rec + "/*.wav", l), 1);
    EXPECT_EQ(l, CStringArray{"own.wav"});
    EXPECT_EQ(FindFiles(rec + "/OWN.*", l), 1);
    EXPECT_EQ(l, CStringArray{"own.wav"});
    EXPECT_EQ(FindFiles(d + "/nowhere/*", l), 1);
    EXPECT_TRUE(l.empty());
}

TEST(FileX, OpenModesReadAtAndErrors) {
    std::string d = TempDirFor("filex");
    std::string p = d + "/data.bin";
    MessageCapture cap;
    CFileX f;
    EXPECT_EQ(f.Open(nullptr, 0), 1); // nothing to reopen
    EXPECT_FALSE(f.IsOpen());
    ASSERT_EQ(f.Create(p), 1);
    EXPECT_EQ(f.GetMode(), 2);
    EXPECT_EQ(f.WriteAt("0123456789", 10), 1);
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_TRUE(f.IsAtEnd());
    char buf[16] = {};
    EXPECT_EQ(f.ReadAt(buf, 4, 2), 1);
    EXPECT_EQ(std::string(buf, 4), "2345");
    EXPECT_EQ(f.ReadAt(buf, 10, 4), 0); // only 6 remain
    {
        CFilePosKeeper keep(f);
        f.SeekTo(1);
    }
    EXPECT_EQ(f.GetPosition(), 10u);
    f.Close();

    // Mode indices are clamped: 7 is read/write, -1 is read.
    ASSERT_EQ(f.Open(p.c_str(), 7), 1);
    EXPECT_EQ(f.GetMode(), 7);
    EXPECT_EQ(f.WriteAt("x", 1, 0), 1);
    ASSERT_EQ(f.Open(p.c_str(), -1), 1);
    EXPECT_EQ(f.WriteAt("y", 1, 0), 0);
    EXPECT_EQ(f.ReadAt(buf, 1, 0), 1);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(f.GetName(true), "data.bin");
    EXPECT_EQ(f.GetDir(), d);
    EXPECT_EQ(f.ChangeExt("txt"), d + "/data.txt");
    EXPECT_TRUE(cap.texts.empty());

    // A second writer is refused while one holds the file.
    CFileX w1(p, 1);
    ASSERT_TRUE(w1.IsOpen());
    CFileX w2;
    EXPECT_EQ(w2.Open(p.c_str(), 2), 0);
    ASSERT_EQ(cap.texts.size(), 1u);
    EXPECT_NE(cap.last().find(" - Open - "), std::string::npos);

    CFileX missing(d + "/none/x.bin", 0);
    EXPECT_FALSE(missing.IsOpen());
    ASSERT_EQ(cap.texts.size(), 3u);
    EXPECT_EQ(cap.texts[1], " No such file or directory - Open - 2");
    EXPECT_EQ(cap.texts[2], "Cannot open File: " + d + "/none/x.bin");
    CFileX c;
    EXPECT_EQ(c.Create(d + "/none/x.bin"), 0);
    EXPECT_EQ(cap.last(), " No such file or directory - Create - 2");
    EXPECT_EQ(c.CheckDiskSpace(1), 0); // not open
    // A FIFO opens for read/write but cannot be truncated.
    ASSERT_EQ(::mkfifo((d + "/fifo").c_str(), 0600), 0);
    EXPECT_EQ(c.Create(d + "/fifo"), 0);
    EXPECT_EQ(cap.last(), " Invalid argument - Create - 22");
    EXPECT_FALSE(c.IsOpen());
}

TEST(FileX, CopyToKeepsContentAndTimes) {
    std::string d = TempDirFor("copyto");
    std::string src = d + "/src.bin", dst = d + "/dst.bin";
    std::string content;
    for (int i = 0; i < 1234; ++i)
        content += char(i * 7);
    WriteText(src, content);
    struct timespec times[2] = {{1000000, 0}, {2000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, src.c_str(), times, 0), 0);
    CFileX f(src, 0);
    ASSERT_TRUE(f.IsOpen());
    ASSERT_EQ(f.CopyTo(dst), 1);
    std::ifstream in(dst, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, content);
    struct stat st;
    ASSERT_EQ(::stat(dst.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 2000000);
    EXPECT_EQ(f.CheckDiskSpace(1), 1);
    MessageCapture cap;
    EXPECT_EQ(f.CheckDiskSpace(INT32_MAX), 0);
    EXPECT_EQ(cap.last(), "Insufficient free disk space on " + d);
    EXPECT_EQ(f.ReportError("bad", 5), 0);
    EXPECT_EQ(cap.last(), src + ":\n\nbad - 5");
    EXPECT_EQ(ShowCode("code", 7), 0);
    EXPECT_EQ(cap.last(), "code - 7");
}

TEST(FileX, CopyToOwnSourceFailsAndPermissionsFollow) {
    std::string d = TempDirFor("copyself");
    std::string src = d + "/src.bin", dst = d + "/dst.bin";
    WriteText(src, "keep me");
    ASSERT_EQ(::chmod(src.c_str(), 0640), 0);
    MessageCapture cap;
    CFileX f(src, 0);
    ASSERT_TRUE(f.IsOpen());
    EXPECT_EQ(f.CopyTo(src), 0);
    ASSERT_EQ(::link(src.c_str(), (d + "/alias.bin").c_str()), 0);
    EXPECT_EQ(f.CopyTo(d + "/alias.bin"), 0); // the same file under another name
    EXPECT_EQ(GetFileSize(src), 7);

    ASSERT_EQ(f.CopyTo(dst), 1);
    struct stat st;
    ASSERT_EQ(::stat(dst.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_size, 7);
    EXPECT_TRUE(cap.texts.empty());
}

#include "platform/FileDialogs.h"

TEST(FileDialogX, FilterAndDefaultFolder) {
    CFileDialogX dlg("wav", "", 0, "Wave Files (*.wav)|*.wav|Text|*.txt;*.lst||");
    EXPECT_EQ(dlg.QtFilter(), "Wave Files (*.wav);;Text (*.txt *.lst)");
    CCurDir cur;
    cur.Save();
    EXPECT_EQ(dlg.InitialDir(), cur.Path());
}
