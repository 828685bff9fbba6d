// The folder picker and the open-file dialog.
#pragma once
#include "platform/Export.h"
#include <string>

// Lets the user pick a folder; false (out empty) when cancelled or without a GUI.
VOK_API bool BrowseForFolder(const std::string& title, std::string& out);

// An open-file dialog. filter uses "Text (*.txt)|*.txt|All (*.*)|*.*||";
// an empty title keeps the default one; an empty folder starts in the working folder.
class VOK_API CFileDialogX {
  public:
    CFileDialogX(const std::string& defExt, const std::string& fileName, unsigned flags,
                 const std::string& filter, const std::string& title = "",
                 const std::string& initialDir = "");
    // IDOK with the chosen path, or IDCANCEL.
    int DoModal();
    const std::string& GetPathName() const { return m_path; }
    // The filter converted to the form the dialog shows.
    std::string QtFilter() const;
    const std::string& InitialDir() const { return m_dir; }

  private:
    std::string m_defExt, m_fileName, m_filter, m_title, m_dir, m_path;
    unsigned m_flags;
};
