// Keeping each saved item's whole take and a manifest row beside it.
#include "channels/SoftChanWave8.h"
#include "platform/MessageBox.h"
#include "record/DlgRecord.h"
#include "record/LevelMeter.h"
#include "record/TakeLog.h"
#include <algorithm>
#include <cstring>

void DlgRecord::KeepTake(long first, long last) {
    SOFTCHAN_WAVE8* w = GetWaveChan();
    const auto* data = w ? static_cast<const uint8_t*>(w->mem.GetPtr()) : nullptr;
    if (!data) return;
    const WAVEFORMATEX& fmt = m_recorder.GetWaveFormatEx();
    const long align = std::max<long>(1, fmt.nBlockAlign);
    const long frames = w->GetLastSavedSample() + 1;
    const double rate = fmt.nSamplesPerSec ? double(fmt.nSamplesPerSec) : 1.0;
    const std::string folder = m_strFolder.substr(0, m_strFolder.size() - 1);

    TAKE_ROW row;
    row.strItem = row.strFile = m_strFile;
    row.strTake = std::string(TAKE_LOG::kTakes) + m_strFile;
    row.nRate = int(fmt.nSamplesPerSec);
    row.nBits = fmt.wBitsPerSample;
    row.fStart = first / rate;
    row.fEnd = (last + 1) / rate;
    row.fDuration = (last - first + 1) / rate;
    const LEVEL level =
        LEVEL_METER::Measure(data + first * align, size_t(last - first + 1), fmt.wBitsPerSample);
    row.fPeakDb = level.fPeakDb;
    row.bClipped = level.bClipped;
    row.tWhen = std::time(nullptr);

    std::string what = row.strTake;
    int err = TAKE_LOG::SaveTake(folder, m_strFile, fmt, data, std::max(0L, frames) * align);
    if (!err) {
        what = TAKE_LOG::kManifest;
        err = TAKE_LOG::AppendRow(folder, row);
    }
    if (err)
        AfxMessageBox("The item was saved, but " + what +
                      " could not be written: " + std::strerror(err));
}
