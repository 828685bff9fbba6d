// Dialogs built from an in-memory control table in dialog units. A modal run
// (DoModal) ends with EndDialog and returns its code; a modeless dialog
// (CreateIndirect) lives until DestroyWindow. Commands from the controls reach
// OnCommand by control id; IDOK and IDCANCEL reach OnOK and OnCancel.
#pragma once
#include "platform/Controls.h"
#include "platform/Export.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QDialog;
class QTimer;
class VokDialogWidget;

enum : unsigned { WM_CLOSE = 0x0010, WM_USER = 0x0400, WM_APP = 0x8000 };
enum : int { IDC_NONE = -1 };

class VOK_API CDialog {
  public:
    CDialog();
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Sets the template a later DoModal builds from; false for a null template.
    bool InitModalIndirect(const DLGTEMPLATE* tmpl);
    // Builds the window at once, runs OnInitDialog and shows it (modeless).
    bool CreateIndirect(const DLGTEMPLATE* tmpl);
    // Builds the window, runs OnInitDialog and the modal loop; returns the code
    // given to EndDialog, or -1 when there is no template.
    int DoModal();
    void EndDialog(int result);
    // Destroys the window (children with it), then PostNcDestroy.
    void DestroyWindow();

    QDialog* GetSafeHwnd() const;
    CControl* GetDlgItem(int id);
    CButton* GetButton(int id);
    CListBox* GetListBox(int id);
    CEdit* GetEdit(int id);
    void SetDefID(int id);
    int GetDefID() const { return m_nDefID; }
    // Dialog units to pixels with the template font, as the platform converts them.
    CRect MapDialogRect(int x, int y, int cx, int cy) const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    // Adds a control to the built window, as the template would have; null
    // without a window, for IDC_NONE or for an id in use.
    CControl* AddControl(const DLGITEMTEMPLATE& item);
    // A key sequence ("Ctrl+R", "F1") anywhere in the window that sends the
    // command id as a click would; not while control id is disabled.
    void AddShortcut(const std::string& keys, int id);

    // Timers run on the GUI thread and call OnTimer(id) until killed.
    void SetTimer(unsigned id, unsigned ms);
    void KillTimer(unsigned id);
    bool HasTimer(unsigned id) const { return m_timers.count(id) != 0; }
    // Queues msg for WindowProc on the GUI thread; safe from any thread.
    void PostMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Reads (save) or writes the fields from/to the controls.
    bool UpdateData(bool bSaveAndValidate = true);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Returns true when handled. The base routes IDOK and IDCANCEL clicks.
    virtual bool OnCommand(int id, int code);
    virtual void OnTimer(unsigned id);
    virtual intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam);
    virtual void DoDataExchange(bool bSaveAndValidate);
    virtual void PostNcDestroy() {}

  protected:
    // Data exchange helpers for DoDataExchange.
    void DDX_Control(int id, CControl& control); // attaches a handle to control id
    void DDX_Check(bool bSave, int id, int& value);
    void DDX_Text(bool bSave, int id, std::string& value);

  private:
    friend class VokDialogWidget;
    bool build();
    // Builds one control; its handle, or null for IDC_NONE or an id in use.
    CControl* addItem(const DLGITEMTEMPLATE& item);

    const DLGTEMPLATE* m_pTemplate = nullptr;
    VokDialogWidget* m_pWnd = nullptr;
    std::map<int, std::unique_ptr<CControl>> m_items;
    std::map<unsigned, QTimer*> m_timers;
    std::shared_ptr<CDialog*> m_self; // queued messages check it before delivery
    int m_nDefID = IDOK;
    int m_nResult = IDCANCEL;
    int m_baseX = 6, m_baseY = 13; // average char width and height of the font
};
