// The dialog's graph window (the "Volume" curve with the speech markers and the
// playback cursor) and its seconds counter. Both are children of the dialog's
// window and delete themselves when it is destroyed.
#include "graph/CounterWnd.h"
#include "graph/GraphWnd.h"
#include "record/DlgRecord.h"

void DlgRecord::CreateChildWindows() {
    CControl* graphFrame = GetDlgItem(IDC_GRAPH_FRAME);
    CControl* counterFrame = GetDlgItem(IDC_COUNTER_FRAME);
    if (graphFrame) {
        m_pGraphWnd = new CGraphWnd(&m_channels);
        // A window whose creation fails has destroyed and deleted itself.
        if (!m_pGraphWnd->Create(graphFrame->GetClientRectInParent(), this, IDC_GRAPH_WND))
            m_pGraphWnd = nullptr;
    }
    EnableButtons();
    if (counterFrame) {
        counterFrame->ShowWindow(SW_HIDE);
        m_pCounterWnd = new CCounterWnd(0);
        if (m_pCounterWnd->Create(counterFrame->GetClientRectInParent(), this, IDC_COUNTER_WND)) {
            m_pCounterWnd->PauseCounting(1);
            m_pCounterWnd->ShowWindow(SW_HIDE);
        } else {
            m_pCounterWnd = nullptr;
        }
    }
}

void DlgRecord::GraphShowChannel(int chan) {
    if (!m_pGraphWnd) return;
    m_pGraphWnd->SetChannel(chan, 1);
    // Painted now, so that the axes the markers and cursor are drawn on are
    // those of the channel shown.
    m_pGraphWnd->UpdateWindow();
}

void DlgRecord::GraphSetMarkers(float start, float end) {
    if (m_pGraphWnd) m_pGraphWnd->SetStartEndTimes(start, end);
}

CRngFlt DlgRecord::GraphMarkers() const {
    return m_pGraphWnd ? m_pGraphWnd->GetSaveTimes() : CRngFlt(0.0f, 0.0f);
}

void DlgRecord::GraphCursor(float t) {
    if (m_pGraphWnd) m_pGraphWnd->SetCursorTime(t);
}

void DlgRecord::GraphForgetCursor() {
    if (m_pGraphWnd) m_pGraphWnd->ForgetCursor();
}

void DlgRecord::CounterShow(bool show) {
    if (m_pCounterWnd) m_pCounterWnd->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void DlgRecord::CounterStart(int seconds) {
    if (m_pCounterWnd) m_pCounterWnd->Reset(seconds);
}

void DlgRecord::CounterStop() {
    if (m_pCounterWnd) m_pCounterWnd->PauseCounting(1);
}

void DlgRecord::PostNcDestroy() {
    // The child windows went with the dialog's window and freed themselves.
    m_pGraphWnd = nullptr;
    m_pCounterWnd = nullptr;
}
