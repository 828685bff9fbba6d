// The GUI application a process needs before it opens windows, dialogs or the
// capture device. A host that has its own keeps it; otherwise one CWinApp
// makes one for the process and ends it when it goes.
#pragma once
#include "platform/Export.h"
#include <memory>

class QApplication;

class VOK_API CWinApp {
  public:
    // Makes the application unless the process already has one; closing the
    // last window does not end Run.
    explicit CWinApp(const char* name = "vokdll");
    ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the event loop until Quit; returns the code given to Quit.
    static int Run();
    // Ends Run with code (from a handler or timer on the GUI thread).
    static void Quit(int code);
    // True when the process has a GUI application, so windows can be made.
    static bool HaveGui();

  private:
    std::unique_ptr<QApplication> m_pApp;
};
