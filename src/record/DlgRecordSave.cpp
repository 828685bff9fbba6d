// Saving the marked part of a recording, moving to the next item, ending with OK.
#include "record/DlgRecord.h"
#include "record/DlgSaving.h"
#include <filesystem>

bool DlgRecord::IsSafeItemName(const std::string& name) {
    if (name.empty()) return false;
    std::filesystem::path p(name);
    if (p.is_absolute() || name.front() == '/') return false;
    for (const auto& part : p)
        if (part == "..") return false;
    return true;
}

void DlgRecord::OnButtonSave() {
    if (m_iWaveChan < 0) return;
    new DlgSaving(m_strFile);
}

void DlgRecord::OnButtonNext() {
    UpdateData(true);
    if (m_bAutosave) OnButtonSave();
    UpdateData(false);
    m_iVolumeChan = -1;
    m_iWaveChan = -1;
    m_bSaved = 0;
    const int sel = m_listFile.GetCurSel();
    if (sel < m_listFile.GetCount() - 1) m_listFile.SetCurSel(sel + 1);
    OnSelchangeListFile();
    EnableButtons();
}

void DlgRecord::OnOK() {
    UpdateData(true);
    const int ok = ShutDown();
    if (!m_bSaved) OnButtonSave();
    if (ok) CDialog::OnOK();
}
