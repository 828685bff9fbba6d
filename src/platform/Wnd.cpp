#include "platform/Wnd.h"
#include "platform/DC.h"
#include "platform/Dialog.h"
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
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
    CPoint client(QMouseEvent* e) const {
        return {int(e->position().x()) - m_border, int(e->position().y()) - m_border};
    }
    static unsigned flags(QMouseEvent* e) {
        unsigned f = 0;
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
        unsigned key = 0;
        if (e->key() == Qt::Key_Left) key = VK_LEFT;
        if (e->key() == Qt::Key_Right) key = VK_RIGHT;
        unsigned f = 0;
        if (e->modifiers() & Qt::ShiftModifier) f |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) f |= MK_CONTROL;
        if (key && m_pOwner && m_pOwner->m_keyHandler && m_pOwner->m_keyHandler(key, f)) return;
        QWidget::keyPressEvent(e);
    }
};

CWnd::~CWnd() {
    if (m_pWnd) {
        StopTimers();
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

bool CWnd::attach(CWndBase* parent, QWidget* parentWidget, const CRect& rect, unsigned id,
                  bool visible) {
    if (m_pWnd) return false;
    auto* w = new VokWndWidget(this, parentWidget);
    m_pWnd = w;
    m_pParent = parent;
    // Child windows are bordered, as their owners' layouts expect; the
    // message-only window has no frame.
    w->m_border = parentWidget ? 1 : 0;
    m_nID = id;
    w->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));
    w->ensureImage();
    m_bInvalid = m_bErase = true;
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    if (visible && m_pWnd) m_pWnd->show();
    return m_pWnd != nullptr;
}

bool CWnd::Create(const CRect& rect, CWnd* parent, unsigned id, bool visible) {
    return attach(parent, parent ? parent->GetSafeHwnd() : nullptr, rect, id, visible);
}

bool CWnd::Create(const CRect& rect, CDialog* parent, unsigned id, bool visible) {
    return attach(parent, parent ? parent->GetSafeHwnd() : nullptr, rect, id, visible);
}

bool CWnd::Create(const CRect& rect, QWidget* parent, unsigned id, bool visible) {
    return attach(nullptr, parent, rect, id, visible);
}

bool CWnd::CreateHidden() {
    return attach(nullptr, nullptr, CRect{0, 0, 1, 1}, 0, false);
}

bool CWnd::DestroyWindow() {
    if (!m_pWnd) return false;
    VokWndWidget* w = m_pWnd;
    StopTimers();
    w->m_pOwner = nullptr;
    w->hide();
    w->deleteLater(); // we may be inside one of its event handlers
    m_pWnd = nullptr;
    PostNcDestroy();
    return true;
}

void CWnd::widgetGone() {
    m_pWnd = nullptr;
    StopTimers();
    PostNcDestroy();
}

QWidget* CWnd::GetSafeHwnd() const {
    return m_pWnd;
}

QWidget* CWnd::Widget() const {
    return m_pWnd;
}

intptr_t CWnd::SendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    return WindowProc(msg, wParam, lParam);
}

bool CWnd::PostParentMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    return m_pParent && m_pParent->PostMessage(msg, wParam, lParam);
}

intptr_t CWnd::WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    return OnMessage(msg, wParam, lParam);
}

intptr_t CWnd::OnMessage(unsigned, uintptr_t, intptr_t) {
    return 0;
}

void CWnd::Invalidate(bool bErase) {
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

bool CWnd::IsWindowVisible() const {
    return m_pWnd && m_pWnd->isVisible();
}

void CWnd::MoveWindow(const CRect& rect) {
    if (!m_pWnd) return;
    m_pWnd->setGeometry(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height()));
    m_pWnd->ensureImage();
    Invalidate(true);
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

bool CWnd::OnEraseBkgnd(CDC* pDC) {
    CRect r = GetClientRect();
    pDC->FillSolidRect(r, RGB(255, 255, 255));
    return true;
}

void CWnd::OnLButtonDown(unsigned, CPoint) {}
void CWnd::OnRButtonDown(unsigned, CPoint) {}
void CWnd::OnMouseMove(unsigned, CPoint) {}
