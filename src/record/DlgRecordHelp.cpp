// The "Help" button: a short help text, when the host has switched it on.
#include "record/DlgRecord.h"
#include "support/AppPaths.h"
#include <string>

const char* const DlgRecord::kHelpText =
    "Record Item: records each item of the \"File\" list into the folder.\n"
    "\n"
    "Record Time: the longest a recording runs.\n"
    "Record: records from the capture device; it stops by itself when the time is up.\n"
    "Stop: ends a recording or a playback.\n"
    "Graph: the \"Volume\" curve; a left click sets the start marker, a right click the "
    "end marker.\n"
    "Play: plays the part between the markers.\n"
    "Save: writes the marked part as FOLDER/ITEM (a WAV file named as the item).\n"
    "Next: goes to the next item, saving first when \"Autosave\" is checked.\n"
    "OK: saves an unsaved recording and ends; Cancel ends without saving.\n";

void DlgRecord::OnButtonHelp() {
    if (!m_options.bHelp) return;
    std::string text = kHelpText;
    if (m_options.bProgress) text += "A tick marks an item whose file is in the folder.\n";
    if (m_options.bLevelMeter)
        text += "The meter shows the level while recording; \"Clipped\" or \"Very quiet\" "
                "warns about the take.\n";
    if (m_options.bKeepTakes)
        text += "Each save also keeps the whole take as FOLDER/takes/ITEM and adds a line to "
                "FOLDER/session.csv.\n";
    if (m_options.bKeyboard) text += std::string("\nKeys:\n") + kShortcutText + "\n";
    text += "\nvokdll " + GetVersionString(true) + "\n" + GetVersionString(false) + "\n";
    AfxMessageBox(text, MB_OK);
}
