// Template 2001 "Saving Recording": the popup shown while an item is saved.
#include "platform/Resources.h"

namespace {
const DLGITEMTEMPLATE kItems[] = {
    {2004, DlgItemKind::Edit, "", DIS_BORDER, 34, 37, 123, 14},
};
const DLGTEMPLATE kTemplate = {"Saving Recording", "MS Sans Serif", 8, 187, 91, kItems, 1};
const DialogTemplateRegistrar kReg(2001, &kTemplate);
} // namespace
