#include "platform/WndBase.h"
#include "platform/PostQueue.h"
#include <QTimer>
#include <QWidget>

CWndBase::CWndBase() : m_self(std::make_shared<CWndBase*>(this)) {}

CWndBase::~CWndBase() {
    *m_self = nullptr;
}

bool CWndBase::PostMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    // Dropped when the window is gone by the time the loop runs it.
    return PostQueue::Post([self = std::weak_ptr<CWndBase*>(m_self), msg, wParam, lParam] {
        auto wnd = self.lock();
        if (wnd && *wnd) (*wnd)->WindowProc(msg, wParam, lParam);
    });
}

unsigned CWndBase::SetTimer(unsigned id, unsigned ms) {
    QWidget* w = Widget();
    if (!w) return 0;
    KillTimer(id);
    auto* t = new QTimer(w);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(int(ms));
    QObject::connect(t, &QTimer::timeout, w, [this, id] { OnTimer(id); });
    m_timers[id] = t;
    t->start();
    return id;
}

bool CWndBase::KillTimer(unsigned id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return false;
    it->second->stop();
    it->second->deleteLater(); // this may be inside its own timeout
    m_timers.erase(it);
    return true;
}

void CWndBase::StopTimers() {
    for (auto& [id, t] : m_timers)
        t->stop();
    m_timers.clear();
}

void CWndBase::OnTimer(unsigned) {}

void CWndBase::SetWindowText(const std::string& text) {
    if (QWidget* w = Widget()) w->setWindowTitle(QString::fromStdString(text));
}

std::string CWndBase::GetWindowText() const {
    QWidget* w = Widget();
    return w ? w->windowTitle().toStdString() : std::string();
}
