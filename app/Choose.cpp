#include "Choose.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h" // IDOK
#include "record/ItemList.h"
#include <cstdio>

int ChooseFolderAndItems(std::string& folder, std::vector<std::string>& items, bool& haveList) {
    if (folder.empty() && !BrowseForFolder("Folder to record into", folder)) return 1;
    if (haveList) return 0;
    CFileDialogX dlg("txt", "", 0, "Item lists (*.txt)|*.txt|All files (*)|*||", "Item list",
                     folder);
    if (dlg.DoModal() != IDOK) return 1;
    ItemList list;
    if (!list.ReadFile(dlg.GetPathName())) {
        std::fprintf(stderr, "vokrec record: cannot read item file %s: %s\n",
                     dlg.GetPathName().c_str(), list.Error().c_str());
        return 2;
    }
    items = list.Items();
    haveList = true;
    return 0;
}
