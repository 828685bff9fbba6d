// Message boxes. Every user-visible box in the library goes through
// AfxMessageBox; tests replace the sink to read the text without a modal box.
#pragma once
#include "platform/Export.h"
#include <functional>
#include <string>

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

using MessageBoxSink = std::function<int(const std::string& text, unsigned type)>;

// Shows text; returns the button pressed (IDOK for an OK box).
VOK_API int AfxMessageBox(const std::string& text, unsigned type = MB_OK);

// Replaces the sink; returns the previous one. An empty sink restores the default
// (a modal QMessageBox when a GUI application runs, otherwise a line on stderr).
VOK_API MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);
