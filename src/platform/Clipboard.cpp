#include "platform/Clipboard.h"

#include "platform/Wnd.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

void CopyWindowToClipboard(QWidget* window, bool clientOnly) {
    if (!window || !QApplication::instance()) return;
    QPixmap client = window->grab();
    QPixmap picture = client;
    // A child's own rectangle is its client area; only a top-level window has a
    // frame around it.
    if (!clientOnly && window->isWindow()) {
        QRect frame = window->window()->frameGeometry();
        QPoint origin = window->mapFromGlobal(frame.topLeft()); // at or above-left of (0,0)
        picture = QPixmap(frame.size());
        picture.fill(Qt::black);
        QPainter p(&picture);
        p.drawPixmap(-origin, client);
    }
    QApplication::clipboard()->setPixmap(picture);
}

void CopyWindowToClipboard(CWnd* window, bool clientOnly) {
    CopyWindowToClipboard(window ? window->GetSafeHwnd() : nullptr, clientOnly);
}

CWndHider::CWndHider(QWidget* window) : m_window(window) {
    if (m_window) m_window->hide();
}

CWndHider::CWndHider(CWnd* window) : CWndHider(window ? window->GetSafeHwnd() : nullptr) {}

CWndHider::~CWndHider() {
    if (m_window) m_window->show();
}
