#include "record/DlgSaving.h"
#include <atomic>

namespace {
std::atomic<int> g_live{0};
}

DlgSaving::DlgSaving(const std::string& name, CDialog*) : m_strName(name) {
    ++g_live;
    const DLGTEMPLATE* tmpl = FindDialogTemplate(kVokModuleName, 2001);
    if (!CreateIndirect(tmpl)) {
        // No window will ever destroy us: nothing to show, so free at once.
        --g_live;
        delete this;
    }
}

DlgSaving::~DlgSaving() = default;

int DlgSaving::LiveCount() { return g_live; }

bool DlgSaving::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(kCloseTimer, 750);
    // Nothing shown selected in the name field.
    if (CEdit* e = GetEdit(kIdName)) e->SetSel(-1, 0);
    return true;
}

void DlgSaving::OnTimer(unsigned id) {
    KillTimer(id);
    if (id == kCloseTimer) PostMessage(WM_CLOSE);
}

void DlgSaving::DoDataExchange(bool bSave) { DDX_Text(bSave, kIdName, m_strName); }

void DlgSaving::PostNcDestroy() {
    --g_live;
    delete this;
}
