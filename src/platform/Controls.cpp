#include "platform/Controls.h"
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {
constexpr int kMarkRole = Qt::UserRole + 1;

// Draws the entries of a list with done marks: a margin on the left of every
// entry, holding a green tick beside each marked one.
class MarkDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int kMargin = 14;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem text = option;
        text.rect.adjust(kMargin, 0, 0, 0);
        QStyledItemDelegate::paint(p, text, index);
        if (!index.data(kMarkRole).toBool()) return;
        const QRect r = option.rect;
        const int h = std::min(r.height(), kMargin) - 4, x = r.left() + 2;
        const int y = r.top() + (r.height() - h) / 2;
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen(QColor(0, 140, 0), 2));
        p->drawPolyline(
            QPolygon({QPoint(x, y + h / 2), QPoint(x + h / 3, y + h), QPoint(x + h, y)}));
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(kMargin, 0);
    }
};
} // namespace

void CControl::EnableWindow(bool enable) {
    if (m_pWidget) m_pWidget->setEnabled(enable);
}
bool CControl::IsWindowEnabled() const {
    return m_pWidget && m_pWidget->isEnabled();
}
void CControl::ShowWindow(int cmd) {
    if (m_pWidget) m_pWidget->setVisible(cmd != SW_HIDE);
}
bool CControl::IsWindowVisible() const {
    return m_pWidget && !m_pWidget->isHidden();
}

void CControl::SetWindowText(const std::string& text) {
    QString t = QString::fromStdString(text);
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget))
        b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(m_pWidget))
        l->setText(t);
    else if (auto* e = qobject_cast<QLineEdit*>(m_pWidget))
        e->setText(t);
    else if (m_pWidget)
        m_pWidget->setWindowTitle(t);
}
std::string CControl::GetWindowText() const {
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget)) return b->text().toStdString();
    if (auto* l = qobject_cast<QLabel*>(m_pWidget)) return l->text().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(m_pWidget)) return e->text().toStdString();
    return m_pWidget ? m_pWidget->windowTitle().toStdString() : std::string();
}
void CControl::SetTextColor(int r, int g, int b) {
    if (!m_pWidget) return;
    QPalette pal = m_pWidget->palette();
    pal.setColor(QPalette::WindowText, QColor(r, g, b));
    m_pWidget->setPalette(pal);
}
void CControl::SetToolTip(const std::string& text) {
    if (m_pWidget) m_pWidget->setToolTip(QString::fromStdString(text));
}
std::string CControl::GetToolTip() const {
    return m_pWidget ? m_pWidget->toolTip().toStdString() : std::string();
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

void CButton::Click() {
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget)) b->click();
}

void CEdit::SetSel(int start, int end) {
    auto* e = qobject_cast<QLineEdit*>(m_pWidget);
    if (!e) return;
    if (start < 0) {
        e->deselect();
        return;
    }
    const int last = end < 0 ? int(e->text().size()) : end;
    e->setSelection(start, std::max(0, last - start));
}

QListWidget* CListBox::list() const {
    return qobject_cast<QListWidget*>(m_pWidget);
}
int CListBox::AddString(const std::string& text) {
    if (!list()) return LB_ERR;
    list()->addItem(QString::fromStdString(text));
    return list()->count() - 1;
}
int CListBox::GetCount() const {
    return list() ? list()->count() : 0;
}
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
void CListBox::SetItemMark(int index, bool mark) {
    if (!list() || index < 0 || index >= list()->count()) return;
    if (!dynamic_cast<MarkDelegate*>(list()->itemDelegate()))
        list()->setItemDelegate(new MarkDelegate(list()));
    list()->item(index)->setData(kMarkRole, mark);
}
bool CListBox::GetItemMark(int index) const {
    if (!list() || index < 0 || index >= list()->count()) return false;
    return list()->item(index)->data(kMarkRole).toBool();
}
