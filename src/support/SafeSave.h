// Writing a file under a folder either in full or not at all, never outside
// the folder and never leaving visible debris behind.
//
// Each folder component of the name below the folder is opened from the
// folder's descriptor without following a symbolic link and without "..", so
// the file lands inside the folder or the save fails. The data goes to an
// unnamed file in the target folder (O_TMPFILE); only once it is complete
// and on disk is it given a temporary name and renamed over the final name,
// relative to the folder's descriptor. A final name that is a symbolic or
// hard link is replaced, its target untouched. Where the file system has no
// unnamed files, a temporary ".vok-PID-N.tmp" is created instead; such names
// left by a process that no longer exists are removed before each save and by
// RemoveStale.
#pragma once
#include <string>

class SafeSave {
  public:
    SafeSave() = default;
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;
    // Removes the temporary name of a save that was not committed.
    ~SafeSave();

    // The descriptor to write the data to (the caller closes it after Commit),
    // or -1 when name is not a file name below folder or nothing can be
    // created there. folder itself may be reached through a symbolic link.
    // With makeFolders, missing folders of name are made on the way (never
    // through a symbolic link either).
    int Begin(const std::string& folder, const std::string& name, bool makeFolders = false);
    // Flushes fd to disk and puts it under the name, replacing a file of that
    // name. False (and the earlier file untouched) when that fails.
    bool Commit(int fd);

    // Removes temporary files of this program in folder whose process no
    // longer exists; returns how many.
    static int RemoveStale(const std::string& folder);

  private:
    static int RemoveStaleAt(int dirFd);
    bool LinkTemp(int fd);

    int m_dirFd = -1;
    std::string m_leaf;
    std::string m_temp; // the temporary name in m_dirFd, once there is one
    bool m_unnamed = false;
};
