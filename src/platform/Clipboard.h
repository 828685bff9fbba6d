// Pictures of windows on the clipboard.
#pragma once
#include <QPointer>
#include <QWidget>

class CWnd;

// Puts a picture of the window on the clipboard: its client area, or the whole
// window including the frame (starting at the frame's top-left corner).
void CopyWindowToClipboard(QWidget* window, bool clientOnly);
void CopyWindowToClipboard(CWnd* window, bool clientOnly);

// Hides a window for its lifetime and shows it again afterwards.
class CWndHider {
  public:
    explicit CWndHider(QWidget* window);
    explicit CWndHider(CWnd* window);
    ~CWndHider();
    CWndHider(const CWndHider&) = delete;
    CWndHider& operator=(const CWndHider&) = delete;

  private:
    QPointer<QWidget> m_window; // null again when the window goes away first
};
