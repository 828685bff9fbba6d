// The module's resource table: dialog templates compiled into the library as
// control tables in dialog units, looked up by id in the module "vokdll.dll".
#pragma once
#include "platform/Export.h"
#include <string>

// Control kinds a template can hold.
enum class DlgItemKind { PushButton, DefPushButton, CheckBox, GroupBox, Static, Edit, ListBox };

enum : unsigned {
    DIS_BORDER = 0x1,     // bordered frame
    DIS_NOTIFY = 0x2,     // list box reports selection changes
    DIS_VSCROLL = 0x4,    // vertical scroll bar
    DIS_NOINTEGRAL = 0x8, // list box keeps its exact height
    DIS_HIDDEN = 0x10,
};

struct DLGITEMTEMPLATE {
    int id; // -1 for controls without an id
    DlgItemKind kind;
    const char* caption;
    unsigned style;
    short x, y, cx, cy; // dialog units
};

struct DLGTEMPLATE {
    const char* title;
    const char* fontName;
    int pointSize;
    short cx, cy; // dialog units
    const DLGITEMTEMPLATE* items;
    int nItems;
};

// Name under which the library's own resources are found.
inline constexpr const char* kVokModuleName = "vokdll.dll";

// Adds a template to the library's table (done at static initialisation).
struct VOK_API DialogTemplateRegistrar {
    DialogTemplateRegistrar(int id, const DLGTEMPLATE* tmpl);
};

// Template id in the named module, or null when the module or id is unknown.
VOK_API const DLGTEMPLATE* FindDialogTemplate(const std::string& module, int id);
