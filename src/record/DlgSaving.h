// "Saving Recording": a modeless popup naming the item being saved. It closes
// itself 750 ms after it opens and frees itself when its window is gone.
#pragma once
#include "platform/Dialog.h"
#include <string>

class DlgSaving : public CDialog {
  public:
    static constexpr unsigned kCloseTimer = 2001;
    static constexpr int kIdName = 2004;

    // Creates and shows the window at once; allocate with new, it deletes itself.
    explicit DlgSaving(const std::string& name, CDialog* parent = nullptr);

    bool OnInitDialog() override;
    void OnTimer(unsigned id) override;
    void DoDataExchange(bool bSave) override;
    void PostNcDestroy() override;

    // Popups alive now (their windows not yet destroyed).
    static int LiveCount();

    std::string m_strName;

  private:
    ~DlgSaving() override;
};
