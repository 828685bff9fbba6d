// The level meter while recording, and after it the take's "Clipped" (a sample
// at full scale) or "Very quiet" (peak below -40 dBFS) line, shown until the
// next recording starts. Neither stops a save.
#include "channels/SoftChanWave.h"
#include "graph/LevelMeterWnd.h"
#include "record/DlgRecord.h"
#include <algorithm>

namespace {
// Between the "Record Time" list and the counter, in dialog units.
constexpr int kMeterX = 243, kMeterY = 10, kMeterW = 53, kMeterH = 44;
const DLGITEMTEMPLATE kTakeLine = {
    DlgRecord::IDC_STATIC_TAKE, DlgItemKind::Static, "", 0, kMeterX, 57, kMeterW, 10};
} // namespace

void DlgRecord::InitLevelMeter() {
    if (!m_options.bLevelMeter) return;
    m_pLevelWnd = new CLevelMeterWnd;
    // A window whose creation fails has destroyed and deleted itself.
    if (!m_pLevelWnd->Create(MapDialogRect(kMeterX, kMeterY, kMeterW, kMeterH), this,
                             IDC_LEVEL_WND))
        m_pLevelWnd = nullptr;
    if (CControl* line = AddControl(kTakeLine)) line->SetTextColor(200, 0, 0);
}

void DlgRecord::LevelStart() {
    if (!m_options.bLevelMeter) return;
    const WAVEFORMATEX& fmt = m_recorder.GetWaveFormatEx();
    m_levelMeter.Start(int(fmt.nSamplesPerSec), fmt.wBitsPerSample);
    m_nLevelPos = 0;
    if (m_pLevelWnd) m_pLevelWnd->Clear();
    if (CControl* line = GetDlgItem(IDC_STATIC_TAKE)) line->SetWindowText("");
}

void DlgRecord::LevelBuffer() {
    if (!m_options.bLevelMeter) return;
    SOFTCHAN_WAVE* w = GetWaveChan();
    const auto* data = w ? static_cast<const uint8_t*>(w->mem.GetPtr()) : nullptr;
    if (!data) return;
    const int bytes = w->BytesPerSample();
    // Samples in the channel so far: up to the last one written, at most its size.
    const long filled = std::min(long(w->GetLastSavedSample()) + 1, long(w->RtnNel()));
    if (filled <= m_nLevelPos) return;
    m_levelMeter.Feed(data + m_nLevelPos * bytes, size_t(filled - m_nLevelPos));
    m_nLevelPos = filled;
    const LEVEL& l = m_levelMeter.Last();
    if (m_pLevelWnd) m_pLevelWnd->SetLevel(l.fPeakDb, l.fRmsDb, m_levelMeter.HoldDb());
}

void DlgRecord::LevelEnd() {
    if (!m_options.bLevelMeter) return;
    LevelBuffer(); // what arrived after the last notification
    CControl* line = GetDlgItem(IDC_STATIC_TAKE);
    if (!line || !m_levelMeter.HasTake()) return;
    if (m_levelMeter.TakeClipped())
        line->SetWindowText("Clipped");
    else if (m_levelMeter.TakePeakDb() < LEVEL_METER::kQuietDb)
        line->SetWindowText("Very quiet");
}
