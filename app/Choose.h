// `vokrec record --choose`: asks in dialogs for what the command line left out.
#pragma once
#include <string>
#include <vector>

// Asks for the folder with the folder picker when folder is empty, and for an
// item file with the open-file dialog when haveList is false, reading its
// names into items. Returns 0 when both are there, 1 when the user cancelled,
// 2 when the chosen item file cannot be read (the reason is printed). Needs
// the GUI application.
int ChooseFolderAndItems(std::string& folder, std::vector<std::string>& items, bool& haveList);
