// Dialog controls: thin handles over the widgets a dialog builds from its
// template. A handle does not own its widget; the dialog window does.
#pragma once
#include "platform/Export.h"
#include <string>

class QWidget;
class QListWidget;
class QAbstractButton;

enum : int { BN_CLICKED = 0, LBN_SELCHANGE = 1 };
enum : int { LB_ERR = -1 };
enum : int { BST_UNCHECKED = 0, BST_CHECKED = 1 };
enum : int { SW_HIDE = 0, SW_SHOW = 5 };

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class VOK_API CControl {
  public:
    CControl() = default;
    virtual ~CControl() = default;
    void Attach(QWidget* w, int id) { m_pWidget = w, m_nID = id; }
    QWidget* GetWidget() const { return m_pWidget; }
    int GetDlgCtrlID() const { return m_nID; }
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void ShowWindow(int cmd);
    bool IsWindowVisible() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    // Text colour as red, green, blue (0..255 each).
    void SetTextColor(int r, int g, int b);
    void SetToolTip(const std::string& text);
    std::string GetToolTip() const;
    // Rectangle in the parent's client coordinates.
    CRect GetClientRectInParent() const;

  protected:
    QWidget* m_pWidget = nullptr;
    int m_nID = -1;
};

class VOK_API CButton : public CControl {
  public:
    void SetCheck(int state);
    int GetCheck() const;
    bool IsDefault() const;
    // Presses the button as a mouse click does (its command is sent at once).
    void Click();
};

class VOK_API CEdit : public CControl {
  public:
    // Selects characters start..end-1; start -1 removes the selection.
    void SetSel(int start, int end);
};

class VOK_API CListBox : public CControl {
  public:
    int AddString(const std::string& text); // index of the new entry
    int GetCount() const;
    int GetCurSel() const;                // LB_ERR when nothing is selected
    int SetCurSel(int index);             // LB_ERR when index is out of range (selection cleared)
    std::string GetText(int index) const; // empty for a bad index
    void ResetContent();
    // A done mark drawn beside entry index; the entry's text stays as it is.
    void SetItemMark(int index, bool mark);
    bool GetItemMark(int index) const;

  private:
    QListWidget* list() const;
};
