// The record dialog's construction, layout, button states, message routing,
// deferred shutdown and cancel.
#include "record/DlgRecord.h"
#include "channels/SoftChanWave.h"
#include "platform/AudioSystem.h"
#include "record/LocateSpeech.h"
#include "support/NumUtil.h"
#include "support/SafeSave.h"
#include <cstdio>

const int DlgRecord::iTimes[7] = {2, 5, 10, 20, 30, 60, 300};
std::atomic<int> DlgRecord::m_bShuttingDown{0};

DlgRecord::DlgRecord(const char* folder, const char* const* names, int count) {
    InitModalIndirect(FindDialogTemplate(kVokModuleName, 150));
    m_strFolder = std::string(folder ? folder : "") + "/";
    for (int i = 0; i < count && names; ++i)
        m_arrFiles.emplace_back(names[i] ? names[i] : "");
    if (!m_recorder.Create(WM_WAVEIN, 0, RATE_11025, SAMPLE_8BIT))
        AfxMessageBox("Error Creating Recorder Buttons", MB_OK);
    else
        m_recorder.DeviceClose(); // each recording opens it anew
}

DlgRecord::~DlgRecord() {
    // Nothing may write into or read from the channels once they are gone.
    AbortRecording();
    StopPlaybackAndWait();
    if (m_bDeviceSelected) AudioSystem::SelectDevice(m_strOldDevice);
}

void DlgRecord::DoDataExchange(bool bSave) {
    DDX_Control(IDC_LIST_FILE, m_listFile);
    DDX_Control(IDC_LIST_TIME, m_listTime);
    DDX_Check(bSave, IDC_CHECK_AUTOSAVE, m_bAutosave);
}

bool DlgRecord::OnInitDialog() {
    // A shutdown of an earlier dialog in this process must not freeze this one.
    m_bShuttingDown = 0;
    if (!m_options.strDevice.empty() && !m_bDeviceSelected) {
        m_strOldDevice = AudioSystem::SelectDevice(m_options.strDevice);
        m_bDeviceSelected = true;
    }
    CDialog::OnInitDialog();
    CreateChildWindows();
    // What earlier runs killed in the middle of a save left in the folder.
    SafeSave::RemoveStale(m_strFolder);
    for (const std::string& name : m_arrFiles)
        m_listFile.AddString(name);
    m_listFile.SetCurSel(0);
    OnSelchangeListFile();
    for (int t : iTimes) {
        char text[32];
        std::snprintf(text, sizeof text, "%d sec", t);
        m_listTime.AddString(text);
    }
    m_listTime.SetCurSel(0);
    SetDefID(IDC_BUTTON_START);
    InitSessionAids();
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
    OnButtonStop();
    SetTimer(TIMER_SHUTDOWN, 1000);
    return 0;
}

void DlgRecord::OnTimer(unsigned id) {
    if (id == TIMER_SHUTDOWN) {
        EndDialog(IDOK);
    } else if (id == TIMER_CURSOR) {
        OnCursorTimer();
    }
}

bool DlgRecord::OnCommand(int id, int code) {
    if (code == LBN_SELCHANGE && id == IDC_LIST_FILE) {
        OnSelchangeListFile();
        return true;
    }
    if (code != BN_CLICKED) return CDialog::OnCommand(id, code);
    switch (id) {
    case IDC_BUTTON_PLAY:
        OnButtonPlay();
        return true;
    case IDC_BUTTON_START:
        OnButtonStart();
        return true;
    case IDC_BUTTON_STOP:
        OnButtonStop();
        return true;
    case IDC_BUTTON_NEXT:
        OnButtonNext();
        return true;
    case IDC_BUTTON_SAVE:
        OnButtonSave();
        return true;
    case IDC_BUTTON_HELP:
        OnButtonHelp();
        return true;
    default:
        return CDialog::OnCommand(id, code);
    }
}

intptr_t DlgRecord::WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (msg == WM_WAVEIN) {
        LevelBuffer();
        return OnWaveIn(wParam, lParam);
    }
    if (msg == WM_PLAYDONE) {
        OnPlayDone(wParam);
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void DlgRecord::OnCancel() {
    AbortRecording();
    StopPlaybackAndWait();
    CDialog::OnCancel();
}

void DlgRecord::OnSelchangeListFile() {
    const int sel = m_listFile.GetCurSel();
    if (sel >= 0 && sel < int(m_arrFiles.size())) m_strFile = m_arrFiles[size_t(sel)];
}

int DlgRecord::LocateSpeech(CRngFlt& range) {
    return ::LocateSpeech(m_channels, m_iVolumeChan, range);
}

SOFTCHAN_WAVE* DlgRecord::GetWaveChan() const {
    SOFTCHAN* ch = m_channels.GetChan(m_iWaveChan);
    if (!ch || !ch->IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE))) return nullptr;
    return static_cast<SOFTCHAN_WAVE*>(ch);
}

CRngFlt DlgRecord::GetMarkedTimes() const {
    CRngFlt r = GraphMarkers();
    r.Order();
    return r;
}

bool DlgRecord::GetMarkedSamples(long& first, long& last) const {
    SOFTCHAN_WAVE* w = GetWaveChan();
    if (!w || w->RtnNel() < 1) return false;
    const CRngFlt r = GetMarkedTimes();
    const int32_t n = int32_t(w->RtnNel());
    int32_t s = int32_t(w->IndexOfTime(r.Lo)), e = int32_t(w->IndexOfTime(r.Hi));
    Clamp(s, 0, n - 1);
    Clamp(e, 0, n - 1);
    first = s;
    last = e;
    return true;
}
