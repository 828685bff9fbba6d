// Progress through the item list: a done mark beside each item whose file is
// in the folder, "n of m recorded" below the list, and on resume the first
// item without a file selected at open. Also where the session aids start.
#include "record/DlgRecord.h"
#include <filesystem>
#include <string>

namespace {
// The status line between "Help" and "OK", in dialog units.
const DLGITEMTEMPLATE kProgressLine = {
    DlgRecord::IDC_STATIC_PROGRESS, DlgItemKind::Static, "", 0, 38, 198, 108, 10};
} // namespace

void DlgRecord::InitSessionAids() {
    if (m_options.bProgress) {
        AddControl(kProgressLine);
        UpdateProgress();
    }
    if (m_options.bResume) SelectFirstUnrecorded();
    InitLevelMeter();
    InitKeyboard();
}

std::vector<bool> DlgRecord::RecordedItems() const {
    std::vector<bool> done;
    for (const std::string& name : m_arrFiles) {
        std::error_code ec;
        done.push_back(IsSafeItemName(name) &&
                       std::filesystem::is_regular_file(m_strFolder + name, ec));
    }
    return done;
}

void DlgRecord::UpdateProgress() {
    if (!m_options.bProgress) return;
    const std::vector<bool> done = RecordedItems();
    int n = 0;
    for (size_t i = 0; i < done.size(); ++i) {
        m_listFile.SetItemMark(int(i), done[i]);
        n += done[i] ? 1 : 0;
    }
    if (CControl* line = GetDlgItem(IDC_STATIC_PROGRESS))
        line->SetWindowText(std::to_string(n) + " of " + std::to_string(done.size()) + " recorded");
}

void DlgRecord::SelectFirstUnrecorded() {
    const std::vector<bool> done = RecordedItems();
    for (size_t i = 0; i < done.size(); ++i)
        if (!done[i]) {
            m_listFile.SetCurSel(int(i));
            OnSelchangeListFile();
            return;
        }
}

void DlgRecord::OnItemSaved() {
    UpdateProgress();
}
