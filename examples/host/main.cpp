// A host of the recording library. It runs the "Record Item" dialog for one
// item and ends it by itself (a timer presses "Record", then "Save", then
// "OK"), and then does the same without any window: a RecorderButtons capture
// into a SOFTCHAN_WAVE8, the analysis, and WAVWriter for the spoken part.
//
//   vokhost FOLDER      writes FOLDER/dialog.wav and FOLDER/headless.wav
//
// For each file it prints "NAME FIRST LAST": the samples of the recording
// that the file holds. Exit status 0 when both were written.
#include <vokdll/capture/RecorderButtons.h>
#include <vokdll/capture/WavWriter.h>
#include <vokdll/channels/SoftChanWave8.h>
#include <vokdll/platform/Application.h>
#include <vokdll/platform/Wnd.h>
#include <vokdll/record/DlgRecord.h>
#include <vokdll/record/RecordingAnalysis.h>
#include <vokdll/record/SoftChannels.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The dialog with a timer that presses its buttons, one step per tick.
class AutoRecordDlg : public DlgRecord {
  public:
    using DlgRecord::DlgRecord;

    bool OnInitDialog() override {
        const bool r = DlgRecord::OnInitDialog();
        SetTimer(kStepTimer, 100);
        return r;
    }

    void OnTimer(unsigned id) override {
        if (id != kStepTimer) return DlgRecord::OnTimer(id);
        if (m_step == 0) {
            GetButton(IDC_BUTTON_START)->Click(); // records for the first record time
            m_step = 1;
        } else if (m_step == 1 && !m_bRecording) {
            long first = 0, last = 0;
            if (GetMarkedSamples(first, last)) std::printf("dialog.wav %ld %ld\n", first, last);
            GetButton(IDC_BUTTON_SAVE)->Click();
            m_step = 2;
        } else if (m_step == 2 && m_bSaved) {
            KillTimer(kStepTimer);
            GetButton(IDOK)->Click();
        }
    }

  private:
    static constexpr unsigned kStepTimer = 1;
    int m_step = 0;
};

// Receives the recorder's notification; ends the event loop once the channel
// is full, or after a time limit.
class CaptureOwner : public CWnd {
  public:
    static constexpr UINT kMsg = WM_APP + 1;

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kMsg && lParam == 1) CWinApp::Quit(0);
        return CWnd::OnMessage(msg, wParam, lParam);
    }
    void OnTimer(UINT) override { CWinApp::Quit(1); }
};

constexpr int kWaveChan = 0; // the channel number of the recording

int Fail(const std::string& what) {
    std::fprintf(stderr, "vokhost: %s\n", what.c_str());
    return 0;
}

int RecordHeadless(const std::string& folder, float seconds) {
    SOFTCHANNELS channels;
    const ADCHANINFO info = RecordingChannelInfo();
    auto* wave = new SOFTCHAN_WAVE8(kWaveChan, long(seconds * 11025), 1.0f / 11025, &info);
    if (!channels.AddChan(wave)) return Fail("no channel"); // the list owns it now
    CaptureOwner owner;
    RecorderButtons recorder;
    if (!owner.CreateHidden() || !recorder.Create(CaptureOwner::kMsg, 0, RATE_11025, SAMPLE_8BIT))
        return Fail("no capture engine");
    recorder.SetSoftChan(wave);
    if (!recorder.Start(&owner)) return Fail("the capture did not start");
    owner.SetTimer(1, 30000);
    const int timedOut = CWinApp::Run();
    recorder.Cancel();
    recorder.DeviceClose();
    if (timedOut) return Fail("the recording did not end");

    RECORDING_ANALYSIS result;
    if (!AnalyseRecording(channels, kWaveChan, result)) return Fail("no analysis");
    const long n = wave->RtnNel();
    const long first = std::clamp(wave->IndexOfTime(result.range.Lo), 0L, n - 1);
    const long last = std::clamp(wave->IndexOfTime(result.range.Hi), 0L, n - 1);
    const auto* samples = static_cast<const uint8_t*>(wave->mem.GetPtr());
    const std::string path = folder + "/headless.wav";
    WAVWriter writer;
    if (!writer.Save(path.c_str(), &recorder.GetWaveFormatEx(), samples + first,
                     int(last - first + 1)))
        return Fail("cannot write " + path);
    std::printf("headless.wav %ld %ld\n", first, last);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vokhost FOLDER\n", stderr);
        return 2;
    }
    CWinApp app("vokhost");
    // No modal message box in an unattended run: errors go to stderr.
    SetMessageBoxSink([](const std::string& text, unsigned) {
        std::fprintf(stderr, "vokhost: %s\n", text.c_str());
        return IDOK;
    });

    const char* items[] = {"dialog.wav"};
    AutoRecordDlg dlg(argv[1], items, 1);
    if (dlg.DoModal() != IDOK) return 1;
    return RecordHeadless(argv[1], 5.0f) ? 0 : 1;
}
