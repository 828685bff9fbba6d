// "Record Item": the modal dialog that records a list of spoken items one after
// another into WAV files in a folder. Handlers are split by concern:
//   DlgRecord.cpp        construction, layout, buttons, routing, shutdown, cancel
//   DlgRecordCapture.cpp Record, Stop and the capture notification
//   DlgRecordPlay.cpp    playback of the marked part, its worker and cursor
//   DlgRecordSave.cpp    Save, Next, item selection and OK
//   DlgRecordGraph.cpp   the graph and counter windows
// Session aids a host switches on with RECORD_OPTIONS, each off by default:
//   DlgRecordProgress.cpp done marks, "n of m recorded", resume
//   DlgRecordLevel.cpp    level meter, "Clipped" and "Very quiet"
//   DlgRecordKeys.cpp     keyboard shortcuts and marker moves
//   DlgRecordHelp.cpp     the help text
//
// Threads: everything runs on the GUI thread except the sound driver's
// playback callback (it only signals m_evPlayDone) and one playback worker per
// playback, which waits on that event, closes the device and posts
// WM_PLAYDONE; it never touches a control or a channel.
#pragma once
#include "capture/RecorderButtons.h"
#include "platform/Dialog.h"
#include "platform/Event.h"
#include "platform/Export.h"
#include "platform/WaveOut.h"
#include "record/LevelMeter.h"
#include "record/RecordOptions.h"
#include "record/SoftChannels.h"
#include "support/Range.h"
#include <atomic>
#include <string>
#include <thread>
#include <vector>

class CGraphWnd;
class CCounterWnd;
class CLevelMeterWnd;
class SOFTCHAN_WAVE;

class VOK_API DlgRecord : public CDialog {
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
    // Controls the session aids add: the "n of m recorded" line and the
    // "Clipped" / "Very quiet" line.
    enum : int { IDC_STATIC_PROGRESS = 2010, IDC_STATIC_TAKE = 2011 };
    // Control ids of the child windows the dialog creates.
    enum : unsigned { IDC_GRAPH_WND = 150, IDC_COUNTER_WND = 151, IDC_LEVEL_WND = 152 };
    enum : unsigned { TIMER_CURSOR = 151, TIMER_SHUTDOWN = 152 };
    static constexpr unsigned WM_WAVEIN = WM_APP + 5;
    // Posted by the playback worker once it has closed the device; wParam is
    // the number of the playback that ended.
    static constexpr unsigned WM_PLAYDONE = WM_APP + 6;

    // Folder gets one '/' appended; the first count names become the items.
    DlgRecord(const char* folder, const char* const* names, int count);
    // Stops a running capture or playback before the channels go.
    ~DlgRecord() override;

    // Additions beyond the standard behaviour; call before DoModal. Each
    // "Record" records in the options' format (nRate, nBits); one the capture
    // engine does not offer gives "Error Opening Audio".
    void SetOptions(const RECORD_OPTIONS& options) { m_options = options; }
    const RECORD_OPTIONS& GetOptions() const { return m_options; }

    bool OnInitDialog() override;
    void OnOK() override;
    // Stops a running capture (the recording is discarded) or playback, then
    // ends the dialog with IDCANCEL; nothing is saved.
    void OnCancel() override;
    bool OnCommand(int id, int code) override;
    void OnTimer(unsigned id) override;
    void DoDataExchange(bool bSave) override;
    intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
    // The window is gone, and the graph and counter windows with it.
    void PostNcDestroy() override;

    void EnableButtons();
    // 1 when the dialog may end now; 0 when it ends itself a second later.
    int ShutDown();

    void OnButtonStart();
    void OnButtonStop();
    long OnWaveIn(uintptr_t wParam, intptr_t lParam);
    void OnButtonPlay();
    void OnButtonSave();
    void OnButtonNext();
    void OnSelchangeListFile();
    void OnButtonHelp();

    // Driver callback of the playback device: signals m_evPlayDone on WOM_DONE.
    static void waveOutProc(HWAVEOUT hwo, unsigned int msg, DWORD_PTR instance, DWORD_PTR p1,
                            DWORD_PTR p2);
    // The playback worker: waits for the end, closes the device, posts WM_PLAYDONE.
    static unsigned int WorkerInit(void* pDlg);

    // Record times in seconds, in list order.
    static const int iTimes[7];
    // Set by a deferred shutdown; cleared when a dialog starts.
    static std::atomic<int> m_bShuttingDown;

    // An item name that stays inside the folder: not empty, relative, no "..".
    static bool IsSafeItemName(const std::string& name);

    // The wave channel of the current recording; null when there is none.
    SOFTCHAN_WAVE* GetWaveChan() const;
    // The marker times ordered so that Lo <= Hi.
    CRngFlt GetMarkedTimes() const;
    // First and last sample of the wave channel between the markers; false
    // without a recording.
    bool GetMarkedSamples(long& first, long& last) const;

    CListBox m_listFile;
    CListBox m_listTime;
    int m_bAutosave = 1;
    int m_iWaveChan = -1;
    int m_iVolumeChan = -1;
    float m_fLastCursor = -1.0f;
    CGraphWnd* m_pGraphWnd = nullptr;
    CCounterWnd* m_pCounterWnd = nullptr;
    std::string m_strFolder;
    int m_iTimeSel = 0;
    std::string m_strFile;
    int m_bRecording = 0;
    std::atomic<int> m_bPlaying{0};
    int m_bSaved = 0;
    SOFTCHANNELS m_channels;
    RecorderButtons m_recorder;
    std::vector<std::string> m_arrFiles;
    std::thread m_pPlayThread;
    std::atomic<HWAVEOUT> m_hWaveOut{nullptr};
    WAVEHDR m_waveHdr{};
    CEvent m_evPlayDone{false, false};
    RECORD_OPTIONS m_options;

    // Session aids.
    // Items whose file exists in the folder, in list order.
    std::vector<bool> RecordedItems() const;
    // Marker moves the keyboard makes, in seconds.
    static constexpr float kSmallStep = 0.01f, kLargeStep = 0.1f;
    // Shortcuts as the help and the tooltips list them.
    static const char* const kShortcutText;
    static const char* const kHelpText;
    LEVEL_METER m_levelMeter;
    CLevelMeterWnd* m_pLevelWnd = nullptr;

  protected:
    int LocateSpeech(CRngFlt& range);

  private:
    // Ends a running playback and waits for its worker; returns once the
    // device is closed and nothing reads the channels any more.
    void StopPlaybackAndWait();
    // Stops a running capture without analysing what was recorded.
    void AbortRecording();
    // The worker's end of a playback, on the GUI thread.
    void OnPlayDone(uintptr_t nPlayback);
    // Cleans up a playback whose start failed and returns to idle.
    void FailPlayback(int code);
    // "Save": the marked samples to the item's file; false, after the error
    // box, when that failed (true when there is nothing to save).
    bool SaveTake();
    // Timer 151: moves the playback cursor, removes it once the device is closed.
    void OnCursorTimer();

    // Session aids, each doing nothing unless its option is on.
    void InitSessionAids();
    void UpdateProgress();        // marks and "n of m recorded"
    void SelectFirstUnrecorded(); // resume
    void InitLevelMeter();
    void LevelStart();  // a recording starts
    void LevelBuffer(); // a buffer has arrived
    void LevelEnd();    // the recording has ended, before its analysis
    void InitKeyboard();
    bool OnGraphKey(unsigned key, unsigned flags);
    void OnItemSaved(); // the current item's file is in place
    // Keeps the whole take and adds its row to the manifest; reports a
    // failure without touching the item's file.
    void KeepTake(long first, long last);

    // Graph and counter (DlgRecordGraph.cpp).
    void CreateChildWindows();
    void GraphShowChannel(int chan);
    void GraphSetMarkers(float start, float end);
    CRngFlt GraphMarkers() const;
    void GraphCursor(float t);
    void GraphForgetCursor(); // after the last line was removed
    void CounterShow(bool show);
    void CounterStart(int seconds);
    void CounterStop();

    unsigned m_nPlayback = 0; // number of the current playback (GUI thread)
    // The device selection the options replaced while the dialog runs.
    std::string m_strOldDevice;
    bool m_bDeviceSelected = false;
    long m_nLevelPos = 0; // samples of the recording the meter has seen
};
