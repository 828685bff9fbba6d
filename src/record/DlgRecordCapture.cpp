// Recording: "Record" fills a fresh wave channel from the capture engine;
// "Stop" or a full channel ends it, and the recording is analysed into the
// "Volume" curve with the located speech marked in the graph.
#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include "record/DlgRecord.h"
#include "record/RecordingAnalysis.h"
#include <iterator>

namespace {
// The info the current recording's wave channel points at (set anew for each
// recording, since the analysis stores the DC level in it).
ADCHANINFO& WaveChanInfo() {
    static ADCHANINFO info;
    return info;
}
} // namespace

void DlgRecord::OnButtonStart() {
    if (m_bRecording || m_bPlaying) return;
    const int sel = m_listTime.GetCurSel();
    m_iTimeSel = sel >= 0 && sel < int(std::size(iTimes)) ? sel : 0;
    UpdateData(true);

    // The host's format; the recording so far stays when it is not one to offer.
    tagWAVERATE rateChoice;
    tagSAMPLESIZE sizeChoice;
    if (!RateChoice(unsigned(m_options.nRate), rateChoice) ||
        !SizeChoice(unsigned(m_options.nBits), sizeChoice)) {
        AfxMessageBox("Error Opening Audio", MB_OK);
        return;
    }
    m_recorder.SetFormat(rateChoice, sizeChoice);
    const WAVEFORMATEX& fmt = m_recorder.GetWaveFormatEx();
    const long nSamples = long(iTimes[m_iTimeSel]) * long(fmt.nSamplesPerSec);
    const unsigned rate = fmt.nSamplesPerSec < 2 ? 1u : fmt.nSamplesPerSec;
    const float dt = float(1.0L / (long double)rate);

    ADCHANINFO& info = WaveChanInfo();
    info = RecordingChannelInfo(fmt.wBitsPerSample);

    m_recorder.SetSoftChan(nullptr);
    m_channels.DeleteAll();
    m_iVolumeChan = -1;
    m_iWaveChan = m_channels.GetFreeChan(-1);
    SOFTCHAN_WAVE* wave = nullptr;
    if (fmt.wBitsPerSample == 16)
        wave = new SOFTCHAN_WAVE16(m_iWaveChan, nSamples, dt, &info);
    else
        wave = new SOFTCHAN_WAVE8(m_iWaveChan, nSamples, dt, &info);
    m_channels.AddChan(wave);
    m_recorder.SetSoftChan(wave);
    LevelStart();

    CounterShow(true);
    if (!m_recorder.DeviceOpen()) {
        AfxMessageBox("Error Opening Audio", MB_OK);
        return;
    }
    if (!m_recorder.Start(this)) {
        AfxMessageBox("Error Starting Recording", MB_OK);
        return;
    }
    m_bRecording = 1;
    EnableButtons();
    CounterStart(iTimes[m_iTimeSel]);
    GraphShowChannel(-1);
}

void DlgRecord::OnButtonStop() {
    if (m_bPlaying) {
        // The playback ends through the driver callback and the worker.
        if (HWAVEOUT h = m_hWaveOut.load()) waveOutReset(h);
        return;
    }
    // Stop is only offered while something runs; a late full notification or
    // a second stop must not analyse the same recording twice.
    if (!m_bRecording) return;
    m_recorder.Cancel();
    m_recorder.DeviceClose();
    m_bRecording = 0;
    EnableButtons();
    LevelEnd();

    RECORDING_ANALYSIS result;
    AnalyseRecording(m_channels, m_iWaveChan, result, m_options.iLocator);
    m_iVolumeChan = result.iVolumeChan;

    GraphSetMarkers(result.range.Lo, result.range.Hi);
    CounterStop();
    GraphShowChannel(m_iVolumeChan);
    CounterShow(false);
}

long DlgRecord::OnWaveIn(uintptr_t, intptr_t lParam) {
    if (lParam == 1 && m_bRecording) {
        // A capture device that has gone reports like a full channel: the
        // recording ends with what it captured, and the user learns why it
        // ended early (the stop closes the device, so ask before it).
        const bool lost = m_recorder.DeviceLost() != 0;
        OnButtonStop();
        if (lost) AfxMessageBox("Audio Device Lost - Recording Stopped", MB_OK);
    }
    return long(lParam);
}

void DlgRecord::AbortRecording() {
    if (!m_bRecording) return;
    m_recorder.Cancel();
    m_recorder.DeviceClose();
    m_recorder.SetSoftChan(nullptr);
    m_bRecording = 0;
}
