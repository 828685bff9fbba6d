#include "platform/Wnd.h"
#include "platform/DC.h"
#include "platform/Dialog.h"
#include "platform/PostQueue.h"
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QWidget>

// The widget of a CWnd: keeps the client image and forwards Qt events.
class VokWndWidget : public QWidget {
  public:
    VokWndWidget(CWnd* owner, QWidget* parent) : QWidget(parent), m_pOwner(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }
    ~VokWndWidget() override {
        if (m_pOwner) m_pOwner->widgetGone();
    }
    // The client area: the widget less its border.
    QSize clientSize() const {
        return {std::max(1, width() - 2 * m_border), std::max(1, height() - 2 * m_border)};
    }
    void ensureImage() {
        if (m_image.size() != clientSize() || m_image.isNull()) {
            QImage next(clientSize(), QImage::Format_RGB32);
            next.fill(Qt::white);
            m_image = next;
            if (m_pOwner) m_pOwner->m_bInvalid = m_pOwner->m_bErase = true;
        }
    }

    CWnd* m_pOwner;
    QImage m_image;
    int m_border = 0; // width of the frame drawn around the client area

  protected:
    void paintEvent(QPaintEvent*) override {
        ensureImage();
        if (m_pOwner) m_pOwner->paintNow();
        QPainter p(this);
        p.drawImage(m_border, m_border, m_image);
        if (m_border) {
            p.setPen(QPen(Qt::black, 0));
            p.drawRect(0, 0, width() - 1, height() - 1);
        }
    }
    void resizeEvent(QResizeEvent*) override { ensureImage(); }
    void timerEvent(QTimerEvent* e) override {
        if (!m_pOwner) return;
        for (const auto& [id, qid] : m_pOwner->m_timers)
            if (qid == e->timerId()) {
                m_pOwner->OnTimer(id);
                return;
            }
    }
    CPoint client(QMouseEvent* e) const {
        return {int(e->position().x()) - m_border, int(e->position().y()) - m_border};
    }
    static UINT flags(QMouseEvent* e) {
        UINT f = 0;
        if (e->buttons() & Qt::LeftButton) f |= MK_LBUTTON;
        if (e->buttons() & Qt::RightButton) f |= MK_RBUTTON;
        if (e->modifiers() & Qt::ShiftModifier) f |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) f |= MK_CONTROL;
        return f;
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (!m_pOwner) return;
        const CPoint pt = client(e);
        if (e->button() == Qt::LeftButton)
            m_pOwner->OnLButtonDown(flags(e), pt);
        else if (e->button() == Qt::RightButton)
            m_pOwner->OnRButtonDown(flags(e), pt);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (m_pOwner) m_pOwner->OnMouseMove(flags(e), client(e));
    }
    void keyPressEvent(QKeyEvent* e) override {
        UINT key = 0;
        if (e->key() == Qt::Key_Left) key = VK_LEFT;
        if (e->key() == Qt::Key_Right) key = VK_RIGHT;
        UINT f = 0;
        if (e->modifiers() & Qt::ShiftModifier) f |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) f |= MK_CONTROL;
        if (key && m_pOwner && m_pOwner->m_keyHandler && m_pOwner->m_keyHandler(key, f)) return;
        QWidget::keyPressEvent(e);
    }
};

CWnd::CWnd() : m_self(std::make_shared<CWnd*>(this)) {}

CWnd::~CWnd() {
    *m_self = nullptr;
    if (m_pWnd) {
        for (const auto& t : m_timers)
            m_pWnd->killTimer(t.second);
        m_pWnd->m_pOwner = nullptr;
        delete m_pWnd;
        m_pWnd = nullptr;
    }
}

void CWnd::SetKeyHandler(KeyHandler handler) {
    m_keyHandler = std::move(handler);
    if (m_pWnd) m_pWnd->setFocusPolicy(m_keyHandler ? Qt::StrongFocus : Qt::NoFocus);
}

void CWnd::SetFocus() {
    if (m_pWnd) m_pWnd->setFocus(Qt::OtherFocusReason);
}

bool CWnd::HasFocus() const {
    return m_pWnd && m_pWnd->hasFocus();
}

void CWnd::SetToolTip(const std::string& text) {
    if (m_pWnd) m_pWnd->setToolTip(QString::fromStdString(text));
}

BOOL CWnd::attach(VokWndWidget* w, const CRect& rect, UINT id, bool visible) {
    m_pWnd = w;
    // Child windows are bordered, as their owners' layouts expect; the
    // message-only window has no frame.
    w->m_border = w->parentWidget() ? 1 : 0;
    m_nID = id;
    w->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));
    w->ensureImage();
    m_bInvalid = m_bErase = true;
    if (OnCreate() == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (visible && m_pWnd) m_pWnd->show();
    return m_pWnd != nullptr;
}

BOOL CWnd::Create(const CRect& rect, CWnd* parent, UINT id, bool visible) {
    if (m_pWnd) return FALSE;
    m_pParent = parent;
    return attach(new VokWndWidget(this, parent ? parent->GetSafeHwnd() : nullptr), rect, id,
                  visible);
}

BOOL CWnd::Create(const CRect& rect, CDialog* parent, UINT id, bool visible) {
    if (m_pWnd) return FALSE;
    m_pParentDlg = parent;
    QWidget* pw = parent ? parent->GetSafeHwnd() : nullptr;
    return attach(new VokWndWidget(this, pw), rect, id, visible);
}

BOOL CWnd::Create(const CRect& rect, QWidget* parent, UINT id, bool visible) {
    if (m_pWnd) return FALSE;
    return attach(new VokWndWidget(this, parent), rect, id, visible);
}

BOOL CWnd::CreateHidden() {
    if (m_pWnd) return FALSE;
    return attach(new VokWndWidget(this, nullptr), CRect{0, 0, 1, 1}, 0, false);
}

BOOL CWnd::DestroyWindow() {
    if (!m_pWnd) return FALSE;
    VokWndWidget* w = m_pWnd;
    for (const auto& t : m_timers)
        w->killTimer(t.second);
    m_timers.clear();
    w->m_pOwner = nullptr;
    w->hide();
    w->deleteLater(); // we may be inside one of its event handlers
    m_pWnd = nullptr;
    PostNcDestroy();
    return TRUE;
}

void CWnd::widgetGone() {
    m_pWnd = nullptr;
    m_timers.clear();
    PostNcDestroy();
}

QWidget* CWnd::GetSafeHwnd() const {
    return m_pWnd;
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostQueue::PostMessageTo(std::weak_ptr<CWnd*>(m_self), msg, wParam, lParam);
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return WindowProc(msg, wParam, lParam);
}

BOOL CWnd::PostParentMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_pParent) return m_pParent->PostMessage(msg, wParam, lParam);
    if (m_pParentDlg) {
        m_pParentDlg->PostMessage(msg, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return OnMessage(msg, wParam, lParam);
}

LRESULT CWnd::OnMessage(UINT, WPARAM, LPARAM) {
    return 0;
}

UINT CWnd::SetTimer(UINT id, UINT ms) {
    if (!m_pWnd) return 0;
    KillTimer(id);
    int qid = m_pWnd->startTimer(int(ms), Qt::PreciseTimer);
    if (qid == 0) return 0;
    m_timers[id] = qid;
    return id;
}

BOOL CWnd::KillTimer(UINT id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return FALSE;
    if (m_pWnd) m_pWnd->killTimer(it->second);
    m_timers.erase(it);
    return TRUE;
}

void CWnd::OnTimer(UINT) {}

void CWnd::Invalidate(BOOL bErase) {
    m_bInvalid = true;
    if (bErase) m_bErase = true;
    if (m_pWnd) m_pWnd->update();
}

void CWnd::paintNow() {
    if (!m_pWnd || !m_bInvalid) return;
    bool erase = m_bErase;
    m_bInvalid = m_bErase = false;
    CDC dc(&m_pWnd->m_image);
    if (erase) OnEraseBkgnd(&dc);
    OnPaint(&dc);
}

void CWnd::UpdateWindow() {
    if (!m_pWnd) return;
    m_pWnd->ensureImage();
    paintNow();
    m_pWnd->update();
}

CRect CWnd::GetClientRect() const {
    if (!m_pWnd) return {};
    const QSize s = m_pWnd->clientSize();
    return {0, 0, s.width(), s.height()};
}

void CWnd::ShowWindow(int cmd) {
    if (m_pWnd) m_pWnd->setVisible(cmd != SW_HIDE);
}

void CWnd::SetWindowText(const std::string& text) {
    if (m_pWnd) m_pWnd->setWindowTitle(QString::fromStdString(text));
}
std::string CWnd::GetWindowText() const {
    return m_pWnd ? m_pWnd->windowTitle().toStdString() : std::string();
}

bool CWnd::IsWindowVisible() const {
    return m_pWnd && m_pWnd->isVisible();
}

void CWnd::MoveWindow(const CRect& rect) {
    if (!m_pWnd) return;
    m_pWnd->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));
    m_pWnd->ensureImage();
    Invalidate(TRUE);
}

std::unique_ptr<CDC> CWnd::GetDC() {
    if (!m_pWnd) return nullptr;
    m_pWnd->ensureImage();
    QWidget* w = m_pWnd;
    auto dc = std::make_unique<CDC>(&m_pWnd->m_image);
    dc->SetReleaseHook([w] { w->update(); });
    return dc;
}

QImage CWnd::GetImage() const {
    return m_pWnd ? m_pWnd->m_image : QImage();
}

HCURSOR CWnd::LoadCrossCursor() {
    return HCURSOR(Qt::CrossCursor);
}

void CWnd::SetCursor(HCURSOR cursor) {
    if (m_pWnd) m_pWnd->setCursor(QCursor(Qt::CursorShape(cursor)));
}

void CWnd::OnPaint(CDC*) {}

BOOL CWnd::OnEraseBkgnd(CDC* pDC) {
    CRect r = GetClientRect();
    pDC->FillSolidRect(r, RGB(255, 255, 255));
    return TRUE;
}

void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
