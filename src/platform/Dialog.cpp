#include "platform/Dialog.h"
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

// The window of a CDialog: Escape and the close box become IDCANCEL commands.
class VokDialogWidget : public QDialog {
  public:
    explicit VokDialogWidget(CDialog* owner) : m_pOwner(owner) {}
    void reject() override {
        if (m_pOwner) m_pOwner->OnCommand(IDCANCEL, BN_CLICKED);
    }
    void accept() override {
        if (m_pOwner) m_pOwner->OnCommand(IDOK, BN_CLICKED);
    }
    void end(int code) { QDialog::done(code); }
    CDialog* m_pOwner;
};

CDialog::~CDialog() {
    m_end->alive = false;
    if (m_pWnd) {
        m_pWnd->m_pOwner = nullptr;
        delete m_pWnd;
        m_pWnd = nullptr;
    }
}

bool CDialog::InitModalIndirect(const DLGTEMPLATE* tmpl) {
    m_pTemplate = tmpl;
    return tmpl != nullptr;
}

CRect CDialog::MapDialogRect(int x, int y, int cx, int cy) const {
    auto mx = [this](int v) { return (v * m_baseX + 2) / 4; };
    auto my = [this](int v) { return (v * m_baseY + 4) / 8; };
    return {mx(x), my(y), mx(x + cx), my(y + cy)};
}

bool CDialog::build() {
    if (!m_pTemplate || m_pWnd) return false;
    m_pWnd = new VokDialogWidget(this);
    m_pWnd->setWindowTitle(QString::fromUtf8(m_pTemplate->title));
    QFont font(QString::fromUtf8(m_pTemplate->fontName), m_pTemplate->pointSize);
    m_pWnd->setFont(font);
    // Dialog base units: the font's average character width and its height.
    QFontMetrics fm(font);
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    m_baseX = std::max(1, (fm.horizontalAdvance(alphabet) / 26 + 1) / 2);
    m_baseY = std::max(1, fm.height());
    CRect size = MapDialogRect(0, 0, m_pTemplate->cx, m_pTemplate->cy);
    m_pWnd->setFixedSize(size.Width(), size.Height());

    for (int i = 0; i < m_pTemplate->nItems; ++i)
        addItem(m_pTemplate->items[i]);
    SetDefID(m_nDefID);
    return true;
}

CControl* CDialog::addItem(const DLGITEMTEMPLATE& it) {
    const QString caption = QString::fromUtf8(it.caption ? it.caption : "");
    QWidget* w = nullptr;
    std::unique_ptr<CControl> handle;
    switch (it.kind) {
    case DlgItemKind::PushButton:
    case DlgItemKind::DefPushButton: {
        auto* b = new QPushButton(caption, m_pWnd);
        b->setAutoDefault(false);
        if (it.kind == DlgItemKind::DefPushButton) m_nDefID = it.id;
        QObject::connect(b, &QPushButton::clicked, m_pWnd,
                         [this, id = it.id] { OnCommand(id, BN_CLICKED); });
        w = b;
        handle = std::make_unique<CButton>();
        break;
    }
    case DlgItemKind::CheckBox: {
        auto* b = new QCheckBox(caption, m_pWnd);
        QObject::connect(b, &QCheckBox::clicked, m_pWnd,
                         [this, id = it.id] { OnCommand(id, BN_CLICKED); });
        w = b;
        handle = std::make_unique<CButton>();
        break;
    }
    case DlgItemKind::GroupBox:
        w = new QGroupBox(caption, m_pWnd);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        handle = std::make_unique<CControl>();
        break;
    case DlgItemKind::Static: {
        auto* l = new QLabel(caption, m_pWnd);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (it.style & DIS_BORDER) l->setFrameStyle(QFrame::Box | QFrame::Plain);
        w = l;
        handle = std::make_unique<CControl>();
        break;
    }
    case DlgItemKind::Edit:
        w = new QLineEdit(caption, m_pWnd);
        handle = std::make_unique<CEdit>();
        break;
    case DlgItemKind::ListBox: {
        auto* l = new QListWidget(m_pWnd);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        if (it.style & DIS_VSCROLL) l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        if (it.style & DIS_NOTIFY)
            QObject::connect(l, &QListWidget::itemSelectionChanged, m_pWnd,
                             [this, id = it.id] { OnCommand(id, LBN_SELCHANGE); });
        w = l;
        handle = std::make_unique<CListBox>();
        break;
    }
    }
    CRect r = MapDialogRect(it.x, it.y, it.cx, it.cy);
    w->setGeometry(r.left, r.top, r.Width(), r.Height());
    if (it.kind == DlgItemKind::GroupBox) w->lower(); // frames stay behind what they frame
    if (it.style & DIS_HIDDEN) w->hide();
    if (it.id != IDC_NONE) w->setObjectName(QString::number(it.id));
    handle->Attach(w, it.id);
    if (it.id == IDC_NONE || m_items.count(it.id)) return nullptr;
    CControl* c = handle.get();
    m_items[it.id] = std::move(handle);
    return c;
}

CControl* CDialog::AddControl(const DLGITEMTEMPLATE& item) {
    if (!m_pWnd || (item.id != IDC_NONE && m_items.count(item.id))) return nullptr;
    CControl* c = addItem(item);
    if (c && !(item.style & DIS_HIDDEN)) c->GetWidget()->show();
    return c;
}

void CDialog::AddShortcut(const std::string& keys, int id) {
    if (!m_pWnd) return;
    auto* sc = new QShortcut(QKeySequence(QString::fromStdString(keys)), m_pWnd);
    QObject::connect(sc, &QShortcut::activated, m_pWnd, [this, id] {
        CControl* c = GetDlgItem(id);
        if (!c || c->IsWindowEnabled()) OnCommand(id, BN_CLICKED);
    });
}

int CDialog::DoModal() {
    if (!build()) return -1;
    const std::shared_ptr<ModalEnd> end = m_end;
    end->result = IDCANCEL;
    bool ended = false;
    QObject::connect(m_pWnd, &QDialog::finished, m_pWnd, [&ended] { ended = true; });
    if (!OnInitDialog()) m_pWnd->setFocus();
    if (end->alive && m_pWnd && !ended) m_pWnd->exec();
    if (!end->alive) return end->result;
    const int result = end->result;
    DestroyWindow();
    return result;
}

bool CDialog::CreateIndirect(const DLGTEMPLATE* tmpl) {
    m_pTemplate = tmpl;
    if (!build()) return false;
    m_pWnd->setWindowModality(Qt::NonModal);
    OnInitDialog();
    if (m_pWnd) m_pWnd->show();
    return true;
}

void CDialog::EndDialog(int result) {
    m_end->result = result;
    if (m_pWnd) m_pWnd->end(result);
}

void CDialog::DestroyWindow() {
    if (!m_pWnd) return;
    StopTimers();
    m_items.clear();
    VokDialogWidget* w = m_pWnd;
    m_pWnd = nullptr;
    w->m_pOwner = nullptr;
    w->hide();
    // Deferred: this may run inside one of the window's own signal handlers.
    w->deleteLater();
    PostNcDestroy();
}

QDialog* CDialog::GetSafeHwnd() const {
    return m_pWnd;
}

QWidget* CDialog::Widget() const {
    return m_pWnd;
}

CControl* CDialog::GetDlgItem(int id) {
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.get();
}
CButton* CDialog::GetButton(int id) {
    return dynamic_cast<CButton*>(GetDlgItem(id));
}
CListBox* CDialog::GetListBox(int id) {
    return dynamic_cast<CListBox*>(GetDlgItem(id));
}
CEdit* CDialog::GetEdit(int id) {
    return dynamic_cast<CEdit*>(GetDlgItem(id));
}

void CDialog::SetDefID(int id) {
    m_nDefID = id;
    for (auto& [cid, c] : m_items)
        if (auto* b = qobject_cast<QPushButton*>(c->GetWidget())) b->setDefault(cid == id);
}

intptr_t CDialog::WindowProc(unsigned msg, uintptr_t, intptr_t) {
    if (msg == WM_CLOSE) {
        if (m_pWnd && m_pWnd->isModal())
            OnCancel();
        else
            DestroyWindow();
    }
    return 0;
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
    DoDataExchange(bSaveAndValidate);
    return true;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}
void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}
void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::DoDataExchange(bool) {}

void CDialog::DDX_Control(int id, CControl& control) {
    if (CControl* c = GetDlgItem(id)) control.Attach(c->GetWidget(), id);
}
void CDialog::DDX_Check(bool bSave, int id, int& value) {
    CButton* b = GetButton(id);
    if (!b) return;
    if (bSave)
        value = b->GetCheck();
    else
        b->SetCheck(value ? BST_CHECKED : BST_UNCHECKED);
}
void CDialog::DDX_Text(bool bSave, int id, std::string& value) {
    CControl* c = GetDlgItem(id);
    if (!c) return;
    if (bSave)
        value = c->GetWindowText();
    else
        c->SetWindowText(value);
}
