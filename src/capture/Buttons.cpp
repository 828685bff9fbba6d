#include "capture/Buttons.h"
#include "platform/Dialog.h"
#include "platform/Wnd.h"

bool CNotifyWnd::PostMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) const {
    if (m_pWnd) return m_pWnd->PostMessage(msg, wParam, lParam);
    if (m_pDlg) {
        m_pDlg->PostMessage(msg, wParam, lParam);
        return true;
    }
    return false;
}

CButtons::~CButtons() {
    if (bActive) CButtons::Cancel();
}

int CButtons::Create(unsigned msg, unsigned) {
    nMsg = msg;
    return 1;
}

int CButtons::Start(CNotifyWnd owner) {
    pOwnerWnd = owner;
    bActive = 1;
    return 1;
}

int CButtons::Cancel() {
    bActive = 0;
    return 1;
}
