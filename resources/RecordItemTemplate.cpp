// Template 150 "Record Item": the record dialog's controls.
#include "platform/Resources.h"

namespace {
constexpr unsigned kList = DIS_NOTIFY | DIS_VSCROLL | DIS_BORDER | DIS_NOINTEGRAL;
const DLGITEMTEMPLATE kItems[] = {
    {1179, DlgItemKind::PushButton, "Next", 0, 304, 101, 32, 14},
    {1160, DlgItemKind::PushButton, "Record", 0, 304, 120, 32, 14},
    {1161, DlgItemKind::PushButton, "Stop", 0, 304, 138, 32, 14},
    {1035, DlgItemKind::PushButton, "Play", 0, 304, 157, 32, 14},
    {1036, DlgItemKind::PushButton, "Save", 0, 304, 176, 32, 14},
    {1174, DlgItemKind::CheckBox, "Autosave", 0, 294, 194, 46, 10},
    {1158, DlgItemKind::Static, "Static", DIS_BORDER, 15, 99, 279, 91},
    {1171, DlgItemKind::Static, "Static", DIS_BORDER, 299, 7, 44, 43},
    {1, DlgItemKind::DefPushButton, "OK", 0, 150, 195, 50, 14},
    {1138, DlgItemKind::PushButton, "Help", 0, 0, 195, 34, 14},
    {2001, DlgItemKind::ListBox, "", kList, 64, 21, 95, 40},
    {-1, DlgItemKind::GroupBox, "File", 0, 58, 10, 111, 56},
    {2003, DlgItemKind::ListBox, "", kList, 186, 22, 46, 40},
    {-1, DlgItemKind::GroupBox, "Record Time", 0, 179, 10, 60, 56},
    {-1, DlgItemKind::Static,
     "Use left mouse button click to define speech start and right mouse button click for end of "
     "speech.",
     0, 58, 73, 182, 19},
};
const DLGTEMPLATE kTemplate = {"Record Item", "MS Sans Serif", 8, 350, 215,
                               kItems, int(sizeof(kItems) / sizeof(kItems[0]))};
const DialogTemplateRegistrar kReg(150, &kTemplate);
} // namespace
