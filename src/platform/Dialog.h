// Dialogs built from an in-memory control table in dialog units. A modal run
// (DoModal) ends with EndDialog and returns its code; a modeless dialog
// (CreateIndirect) lives until DestroyWindow. Commands from the controls reach
// OnCommand by control id; IDOK and IDCANCEL reach OnOK and OnCancel.
#pragma once
#include "platform/Controls.h"
#include "platform/Export.h"
#include "platform/MessageBox.h"
#include "platform/Resources.h"
#include "platform/WndBase.h"
#include <map>
#include <memory>
#include <string>

class QDialog;
class VokDialogWidget;

enum : unsigned { WM_CLOSE = 0x0010, WM_USER = 0x0400, WM_APP = 0x8000 };
enum : int { IDC_NONE = -1 };

class VOK_API CDialog : public CWndBase {
  public:
    CDialog() = default;
    ~CDialog() override;

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

    // Adds a control to the built window, as the template would have; null
    // without a window, for IDC_NONE or for an id in use.
    CControl* AddControl(const DLGITEMTEMPLATE& item);
    // A key sequence ("Ctrl+R", "F1") anywhere in the window that sends the
    // command id as a click would; not while control id is disabled.
    void AddShortcut(const std::string& keys, int id);

    // Reads (save) or writes the fields from/to the controls.
    bool UpdateData(bool bSaveAndValidate = true);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Returns true when handled. The base routes IDOK and IDCANCEL clicks.
    virtual bool OnCommand(int id, int code);
    // WM_CLOSE cancels a modal dialog and destroys a modeless one.
    intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
    virtual void DoDataExchange(bool bSaveAndValidate);

  protected:
    QWidget* Widget() const override;
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
    int m_nDefID = IDOK;
    // The end of a modal run, kept apart so that DoModal can still read it
    // when the dialog deleted itself meanwhile.
    struct ModalEnd {
        bool alive = true;
        int result = IDCANCEL;
    };
    std::shared_ptr<ModalEnd> m_end = std::make_shared<ModalEnd>();
    int m_baseX = 6, m_baseY = 13; // average char width and height of the font
};
