#include "platform/Resources.h"
#include <map>

namespace {
std::map<int, const DLGTEMPLATE*>& table() {
    static std::map<int, const DLGTEMPLATE*> t;
    return t;
}
} // namespace

DialogTemplateRegistrar::DialogTemplateRegistrar(int id, const DLGTEMPLATE* tmpl) {
    table()[id] = tmpl;
}

const DLGTEMPLATE* FindDialogTemplate(const std::string& module, int id) {
    if (module != kVokModuleName) return nullptr;
    auto it = table().find(id);
    return it == table().end() ? nullptr : it->second;
}
