// Keyboard use of the dialog: shortcuts for the buttons (Enter stays
// "Record", the default button) and, with the graph focused, the arrow keys
// move the markers.
#include "channels/SoftChanWave.h"
#include "graph/GraphWnd.h"
#include "record/DlgRecord.h"
#include <algorithm>

const char* const DlgRecord::kShortcutText =
    "Enter or Ctrl+R: Record\n"
    "Ctrl+T: Stop\n"
    "Ctrl+P: Play\n"
    "Ctrl+S: Save\n"
    "Ctrl+N: Next\n"
    "Graph focused (Tab or click): Left/Right move the start marker by 10 ms,\n"
    "Shift+Left/Right the end marker; with Ctrl by 100 ms.";

namespace {
struct Shortcut {
    const char* keys;
    int id;
};
const Shortcut kShortcuts[] = {{"Ctrl+R", DlgRecord::IDC_BUTTON_START},
                               {"Ctrl+T", DlgRecord::IDC_BUTTON_STOP},
                               {"Ctrl+P", DlgRecord::IDC_BUTTON_PLAY},
                               {"Ctrl+S", DlgRecord::IDC_BUTTON_SAVE},
                               {"Ctrl+N", DlgRecord::IDC_BUTTON_NEXT}};
} // namespace

void DlgRecord::InitKeyboard() {
    if (!m_options.bKeyboard) return;
    for (const Shortcut& s : kShortcuts) {
        AddShortcut(s.keys, s.id);
        if (CControl* b = GetDlgItem(s.id)) b->SetToolTip(s.keys);
    }
    if (m_pGraphWnd) {
        m_pGraphWnd->SetKeyHandler(
            [this](unsigned key, unsigned flags) { return OnGraphKey(key, flags); });
        m_pGraphWnd->SetToolTip(kShortcutText);
    }
}

bool DlgRecord::OnGraphKey(unsigned key, unsigned flags) {
    if (key != VK_LEFT && key != VK_RIGHT) return false;
    SOFTCHAN_WAVE* w = GetWaveChan();
    if (!w || m_iVolumeChan < 0 || m_bRecording || m_bPlaying) return true;
    const float step = (flags & MK_CONTROL) ? kLargeStep : kSmallStep;
    const float move = key == VK_RIGHT ? step : -step;
    const float length = w->TimeOfIndex(w->RtnNel() - 1);
    CRngFlt m = GraphMarkers();
    float& marker = (flags & MK_SHIFT) ? m.Hi : m.Lo;
    marker = std::clamp(marker + move, 0.0f, length);
    GraphSetMarkers(m.Lo, m.Hi);
    return true;
}
