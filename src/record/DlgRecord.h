// "Record Item": the modal dialog that records a list of spoken items one after
// another into WAV files in a folder. Handlers are split by concern over
// DlgRecord.cpp (layout, buttons, shutdown) and DlgRecordSave.cpp (save, next).
#pragma once
#include "platform/Dialog.h"
#include <atomic>
#include <string>
#include <vector>

class DlgRecord : public CDialog {
  public:
    enum : int {
        IDC_BUTTON_NEXT = 1179,
        IDC_BUTTON_START = 1160,
        IDC_BUTTON_STOP = 1161,
        IDC_BUTTON_PLAY = 1035,
        IDC_BUTTON_SAVE = 1036,
        IDC_CHECK_AUTOSAVE = 1174,
        IDC_GRAPH_FRAME = 1158,
        IDC_COUNTER_FRAME = 1171,
        IDC_BUTTON_HELP = 1138,
        IDC_LIST_FILE = 2001,
        IDC_LIST_TIME = 2003,
    };
    enum : unsigned { TIMER_CURSOR = 151, TIMER_SHUTDOWN = 152 };
    static constexpr unsigned WM_WAVEIN = WM_APP + 5;

    // Folder gets one '/' appended; the first count names become the items.
    DlgRecord(const char* folder, const char* const* names, int count);
    ~DlgRecord() override;

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int code) override;
    void OnTimer(unsigned id) override;
    void DoDataExchange(bool bSave) override;

    void EnableButtons();
    // 1 when the dialog may end now; 0 when it ends itself a second later.
    int ShutDown();

    void OnButtonSave();
    void OnButtonNext();
    void OnSelchangeListFile();
    void OnButtonHelp() {}

    // Record times in seconds, in list order.
    static const int iTimes[7];
    // Set by a deferred shutdown; cleared when a dialog starts.
    static std::atomic<int> m_bShuttingDown;

    // An item name that stays inside the folder: not empty, relative, no "..".
    static bool IsSafeItemName(const std::string& name);

    CListBox m_listFile;
    CListBox m_listTime;
    int m_bAutosave = 1;
    int m_iWaveChan = -1;
    int m_iVolumeChan = -1;
    float m_fLastCursor = -1.0f;
    std::string m_strFolder;
    int m_iTimeSel = 0;
    std::string m_strFile;
    std::atomic<int> m_bRecording{0};
    std::atomic<int> m_bPlaying{0};
    int m_bSaved = 0;
    std::vector<std::string> m_arrFiles;
};
