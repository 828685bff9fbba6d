// Path, file-status and folder helpers, and the library's warning boxes.
// Paths use '/'; the root "/" keeps its separator.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using CStringArray = std::vector<std::string>;

// Exclamation box with text, then a blank and detail when detail is given.
int ShowError(const std::string& text, const char* detail = nullptr, unsigned flags = 0);
// Plain OK box "text - number"; returns 0.
int ShowCode(const std::string& text, int number);

// Last component of path (the path itself when it has no '/').
std::string FileNameOf(const std::string& path);
// The extension after the name's last dot replaced (or a dot and ext appended).
std::string ChangeExtension(const std::string& path, const std::string& ext,
                            bool stripFolder = false);
// The folder part: empty without '/', "/" for a file in the root, else the
// text before the last '/', with it when keepSeparator.
std::string DirectoryOf(const std::string& path, bool keepSeparator = false);
// Lower-case text after the name's last dot, when that dot is not its first character.
std::string ExtensionOf(const std::string& path);

int32_t GetFileSize(const std::string& name); // 0 when unknown
bool IsReadOnly(const std::string& name);     // true unless it exists and is writable
enum : int { FILE_ATTR_READONLY = 0x01, FILE_ATTR_DIRECTORY = 0x10 };
// 0 when path does not exist (whatever the mask); mask 0: 1 for a non-folder;
// else attributes & mask.
int FileHasAttr(const std::string& path, int mask);
int IsDirectory(const std::string& path);
// Free space of the file system holding path, in kilobytes; 0 when unknown.
int32_t GetFreeDiskKB(const std::string& path);
int32_t DriveNumber(char letter); // A = 1
bool MakeDir(const std::string& path);
bool ChangeDir(const std::string& path);
void PadString(std::string& s, int width);
// Fails, changing nothing, when newName already exists.
bool RenameFile(const std::string& oldName, const std::string& newName);
bool RemoveFile(const std::string& name);
// Sorts ascending without case; 0 for an empty array, else 1.
int SortNoCase(CStringArray& list);
int32_t FindString(const std::string& text, const CStringArray& list);
bool HasString(const std::string& text, const CStringArray& list);
// Lower-cased names of the non-folder entries of pattern's folder (taken literally)
// whose names match its last component without case, sorted; 1.
int FindFiles(const std::string& pattern, CStringArray& list);

// The current working folder, remembered and restored.
class CCurDir {
  public:
    void Save();
    bool Restore() const;
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};
