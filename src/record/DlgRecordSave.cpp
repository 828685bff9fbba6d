// Saving the marked part of a recording, moving to the next item, ending with OK.
#include "capture/WavWriter.h"
#include "channels/SoftChanWave8.h"
#include "record/DlgRecord.h"
#include "record/DlgSaving.h"
#include "support/FileUtil.h"
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
    SaveTake();
}

bool DlgRecord::SaveTake() {
    if (m_iWaveChan < 0) return true;
    new DlgSaving(m_strFile); // shows itself and goes away by itself
    try {
        // The folder as the host gave it: only the '/' added here is removed.
        if (!IsDirectory(m_strFolder.substr(0, m_strFolder.size() - 1))) throw 10;
        // Nothing is written outside the folder.
        if (!IsSafeItemName(m_strFile)) throw 20;
        SOFTCHAN_WAVE8* w = GetWaveChan();
        long s = 0, e = 0;
        if (!w || !GetMarkedSamples(s, e)) throw 20;
        const auto* data = static_cast<const uint8_t*>(w->mem.GetPtr());
        if (!data) throw 20;
        const WAVEFORMATEX& fmt = m_recorder.GetWaveFormatEx();
        WAVWriter writer;
        if (!writer.SaveIn(m_strFolder, m_strFile, &fmt, data + s, int(e - s + 1))) throw 20;
        m_bSaved = 1;
        OnItemSaved();
        if (m_options.bKeepTakes) KeepTake(s, e);
        return true;
    } catch (int code) {
        ShowCode("Error Saving to Dictionary", code);
    }
    return false;
}

void DlgRecord::OnButtonNext() {
    // The channels are about to go: nothing may still record into or play from them.
    StopPlaybackAndWait();
    // The graph is emptied below: no cursor is to be drawn or removed on it.
    KillTimer(TIMER_CURSOR);
    m_fLastCursor = -1.0f;
    if (m_bRecording) OnButtonStop();
    UpdateData(true);
    // A take whose automatic save failed stays, with its markers and item, so
    // that it can be saved once the folder is put right.
    if (m_bAutosave && !SaveTake()) {
        EnableButtons();
        return;
    }
    UpdateData(false);
    GraphShowChannel(-1);
    m_recorder.SetSoftChan(nullptr);
    m_channels.DeleteAll();
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
