#include "record/DlgRecord.h"
#include <cstdio>

const int DlgRecord::iTimes[7] = {2, 5, 10, 20, 30, 60, 300};
std::atomic<int> DlgRecord::m_bShuttingDown{0};

DlgRecord::DlgRecord(const char* folder, const char* const* names, int count) {
    InitModalIndirect(FindDialogTemplate(kVokModuleName, 150));
    m_strFolder = std::string(folder ? folder : "") + "/";
    for (int i = 0; i < count && names; ++i) m_arrFiles.emplace_back(names[i] ? names[i] : "");
}

DlgRecord::~DlgRecord() = default;

void DlgRecord::DoDataExchange(bool bSave) {
    DDX_Control(IDC_LIST_FILE, m_listFile);
    DDX_Control(IDC_LIST_TIME, m_listTime);
    DDX_Check(bSave, IDC_CHECK_AUTOSAVE, m_bAutosave);
}

bool DlgRecord::OnInitDialog() {
    // A shutdown of an earlier dialog in this process must not freeze this one.
    m_bShuttingDown = 0;
    CDialog::OnInitDialog();
    EnableButtons();
    if (CControl* frame = GetDlgItem(IDC_COUNTER_FRAME)) frame->ShowWindow(SW_HIDE);
    for (const std::string& name : m_arrFiles) m_listFile.AddString(name);
    m_listFile.SetCurSel(0);
    OnSelchangeListFile();
    for (int t : iTimes) {
        char text[32];
        std::snprintf(text, sizeof text, "%d sec", t);
        m_listTime.AddString(text);
    }
    m_listTime.SetCurSel(0);
    SetDefID(IDC_BUTTON_START);
    return true;
}

void DlgRecord::EnableButtons() {
    if (m_bShuttingDown) return;
    const bool busy = m_bRecording || m_bPlaying;
    const bool have = m_iWaveChan >= 0;
    auto set = [this](int id, bool on) {
        if (CControl* c = GetDlgItem(id)) c->EnableWindow(on);
    };
    set(IDC_BUTTON_START, !busy);
    set(IDC_BUTTON_PLAY, !busy && have);
    set(IDC_BUTTON_STOP, busy);
    set(IDC_BUTTON_SAVE, !busy && have);
}

int DlgRecord::ShutDown() {
    if (!m_bRecording && !m_bPlaying) return 1;
    m_bShuttingDown = 1;
    SetTimer(TIMER_SHUTDOWN, 1000);
    return 0;
}

void DlgRecord::OnTimer(unsigned id) {
    if (id == TIMER_SHUTDOWN) EndDialog(IDOK);
}

bool DlgRecord::OnCommand(int id, int code) {
    if (code == LBN_SELCHANGE && id == IDC_LIST_FILE) {
        OnSelchangeListFile();
        return true;
    }
    if (code != BN_CLICKED) return CDialog::OnCommand(id, code);
    switch (id) {
    case IDC_BUTTON_NEXT: OnButtonNext(); return true;
    case IDC_BUTTON_SAVE: OnButtonSave(); return true;
    case IDC_BUTTON_HELP: OnButtonHelp(); return true;
    default: return CDialog::OnCommand(id, code);
    }
}

void DlgRecord::OnCancel() { CDialog::OnCancel(); }

void DlgRecord::OnSelchangeListFile() {
    const int sel = m_listFile.GetCurSel();
    if (sel >= 0 && sel < int(m_arrFiles.size())) m_strFile = m_arrFiles[sel];
}
