// Records SECONDS from the capture device without any window, finds the
// spoken part and saves it as a WAV file; prints "FILE FIRST LAST" (the
// samples of the recording the file holds).
//   vokrecord FILE.wav [SECONDS]
#include <vokdll/capture/RecorderButtons.h>
#include <vokdll/capture/WavWriter.h>
#include <vokdll/channels/SoftChanWave8.h>
#include <vokdll/platform/Application.h>
#include <vokdll/platform/Dialog.h> // WM_APP
#include <vokdll/platform/Wnd.h>
#include <vokdll/record/RecordingAnalysis.h>
#include <vokdll/record/SoftChannels.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

// Ends the event loop once the recorder reports a full channel.
class Owner : public CWnd {
  protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP + 1 && lParam == 1) CWinApp::Quit(0);
        return CWnd::OnMessage(msg, wParam, lParam);
    }
};

constexpr int kWaveChan = 0; // the channel number of the recording

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const float seconds = argc > 2 ? float(std::atof(argv[2])) : 2.0f;
    CWinApp app("vokrecord");
    SOFTCHANNELS channels;
    const ADCHANINFO info = RecordingChannelInfo();
    auto* wave = new SOFTCHAN_WAVE8(kWaveChan, long(seconds * 11025), 1.0f / 11025, &info);
    if (!channels.AddChan(wave)) return 1; // the list owns the channel now
    Owner owner;
    RecorderButtons rec;
    if (!owner.CreateHidden() || !rec.Create(WM_APP + 1, 0, RATE_11025, SAMPLE_8BIT)) return 1;
    rec.SetSoftChan(wave);
    if (!rec.Start(&owner) || CWinApp::Run() != 0) return 1;
    rec.DeviceClose();

    RECORDING_ANALYSIS a;
    if (!AnalyseRecording(channels, kWaveChan, a)) return 1;
    const long n = wave->RtnNel();
    const long first = std::clamp(wave->IndexOfTime(a.range.Lo), 0L, n - 1);
    const long last = std::clamp(wave->IndexOfTime(a.range.Hi), 0L, n - 1);
    const auto* samples = static_cast<const uint8_t*>(wave->mem.GetPtr());
    if (!WAVWriter().Save(argv[1], &rec.GetWaveFormatEx(), samples + first, int(last - first + 1)))
        return 1;
    std::printf("%s %ld %ld\n", argv[1], first, last);
    return 0;
}
