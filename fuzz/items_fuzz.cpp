// Feeds arbitrary bytes to the item file reader: it must refuse cleanly or
// return names that are what the dialog may get, without crashes, undefined
// behaviour or leaks.
#include "record/ItemList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ItemList l;
    if (!l.Parse(text)) {
        // Every refusal names its reason and keeps no names.
        if (l.Error().empty() || !l.Items().empty() || l.ErrorLine() < 0) std::abort();
        return 0;
    }
    if (!l.Error().empty() || l.ErrorLine() != 0) std::abort();
    size_t total = 0;
    for (const std::string& name : l.Items()) {
        // Non-empty, trimmed, within the limit, UTF-8 without control characters.
        if (name.empty() || name.size() > ItemList::kMaxName) std::abort();
        if (name.front() == ' ' || name.back() == ' ') std::abort();
        if (!ItemList::IsUtf8(name)) std::abort();
        for (char c : name)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
        // Each name is a piece of the input.
        if (text.find(name) == std::string_view::npos) std::abort();
        total += name.size();
    }
    if (total > size) std::abort();
    // The same text parses the same way again.
    ItemList again;
    if (!again.Parse(text) || again.Items() != l.Items()) std::abort();
    return 0;
}
