#include "platform/Controls.h"
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

void CControl::EnableWindow(bool enable) {
    if (m_pWidget) m_pWidget->setEnabled(enable);
}
bool CControl::IsWindowEnabled() const { return m_pWidget && m_pWidget->isEnabled(); }
void CControl::ShowWindow(int cmd) {
    if (m_pWidget) m_pWidget->setVisible(cmd != SW_HIDE);
}
bool CControl::IsWindowVisible() const { return m_pWidget && !m_pWidget->isHidden(); }

void CControl::SetWindowText(const std::string& text) {
    QString t = QString::fromStdString(text);
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget)) b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(m_pWidget)) l->setText(t);
    else if (auto* e = qobject_cast<QLineEdit*>(m_pWidget)) e->setText(t);
    else if (m_pWidget) m_pWidget->setWindowTitle(t);
}
std::string CControl::GetWindowText() const {
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget)) return b->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(m_pWidget)) return l->text().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(m_pWidget)) return e->text().toStdString();
    return m_pWidget ? m_pWidget->windowTitle().toStdString() : std::string();
}
CRect CControl::GetClientRectInParent() const {
    if (!m_pWidget) return {};
    QRect g = m_pWidget->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void CButton::SetCheck(int state) {
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget)) b->setChecked(state == BST_CHECKED);
}
int CButton::GetCheck() const {
    auto* b = qobject_cast<QAbstractButton*>(m_pWidget);
    return b && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}
bool CButton::IsDefault() const {
    auto* b = qobject_cast<QPushButton*>(m_pWidget);
    return b && b->isDefault();
}

QListWidget* CListBox::list() const { return qobject_cast<QListWidget*>(m_pWidget); }
int CListBox::AddString(const std::string& text) {
    if (!list()) return LB_ERR;
    list()->addItem(QString::fromStdString(text));
    return list()->count() - 1;
}
int CListBox::GetCount() const { return list() ? list()->count() : 0; }
int CListBox::GetCurSel() const {
    if (!list()) return LB_ERR;
    int r = list()->currentRow();
    return r >= 0 && list()->item(r)->isSelected() ? r : LB_ERR;
}
int CListBox::SetCurSel(int index) {
    if (!list()) return LB_ERR;
    // A program's own selection is not a user's choice: no notification.
    QSignalBlocker block(list());
    if (index < 0 || index >= list()->count()) {
        list()->setCurrentRow(-1);
        list()->clearSelection();
        return LB_ERR;
    }
    list()->setCurrentRow(index);
    return index;
}
std::string CListBox::GetText(int index) const {
    if (!list() || index < 0 || index >= list()->count()) return {};
    return list()->item(index)->text().toStdString();
}
void CListBox::ResetContent() {
    if (list()) list()->clear();
}
